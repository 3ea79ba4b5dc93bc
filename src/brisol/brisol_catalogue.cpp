// The one portal of this library: "Brisol", in any letter case.
#include "brisol/brisol_portal.h"
#include "portal/portal_catalogue.h"
#include "portal/text.h"

namespace ORLIX {
namespace Portals {

IPortal* createPortal(IPortalHost* host, const String& portalName) {
  if (toLower(portalName) != "brisol") return nullptr;
  return new brisolPortal(host);
}

}  // namespace Portals
}  // namespace ORLIX
