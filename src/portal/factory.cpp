// The library's only exported function. Everything else reaches the host
// through the interfaces of the object it returns; the host owns that object
// and destroys it through IExtension's virtual destructor.
#include "portal/host/portal.h"
#include "portal/portal_catalogue.h"

extern "C" __attribute__((visibility("default"))) ORLIX::IExtension* portalFactory(
    ORLIX::IPortalHost* host, ORLIX::String portalName, ORLIX::IProperties* /*creationProperties*/) {
  ORLIX::IPortal* portal = ORLIX::Portals::createPortal(host, portalName);
  if (!portal) return nullptr;
  ORLIX::IExtension* extension = portal;
  if (!extension->getInterface(ORLIX::kPortalInterfaceId)) {
    delete extension;
    return nullptr;
  }
  return extension;
}
