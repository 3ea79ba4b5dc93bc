// Short keys for the result types of the solver's catalogue, used to name new
// output parameters ("Stress tensor" -> "stress").
#ifndef ORLIX_BRISOL_RESULT_TYPE_KEYS_H
#define ORLIX_BRISOL_RESULT_TYPE_KEYS_H

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

// The short key of the first table row that matches, or `description` itself.
String shortResultKey(const String& description);

}  // namespace Portals
}  // namespace ORLIX

#endif
