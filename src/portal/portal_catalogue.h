// The portals this library can build, by name. The factory knows only this
// declaration; the solver layer that owns the portal classes defines it, so no
// include runs from the framework up to a solver portal.
#ifndef ORLIX_PORTAL_PORTAL_CATALOGUE_H
#define ORLIX_PORTAL_PORTAL_CATALOGUE_H

#include "portal/host/portal.h"
#include "portal/host/portal_host.h"

namespace ORLIX {
namespace Portals {

// A new portal for `portalName`, or null when no portal has that name.
IPortal* createPortal(IPortalHost* host, const String& portalName);

}  // namespace Portals
}  // namespace ORLIX

#endif
