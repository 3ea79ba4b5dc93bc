// File paths reach pugixml in the platform's wide form. The host's paths are
// UTF-8; a path that is not valid UTF-8 is refused with a reason instead of
// being handed on half-converted.
#ifndef ORLIX_XMLPORTAL_WIDE_PATH_H
#define ORLIX_XMLPORTAL_WIDE_PATH_H

#include <string>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

// False, with `error` set, when `utf8Path` is not valid UTF-8.
bool isUtf8Path(const String& utf8Path, String& error);
// The same check, then the wide form into `widePath`.
bool toWidePath(const String& utf8Path, std::wstring& widePath, String& error);

}  // namespace Portals
}  // namespace ORLIX

#endif
