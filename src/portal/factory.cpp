// The library's only exported function. Everything else reaches the host
// through the interfaces of the object it returns; the host owns that object
// and destroys it through IExtension's virtual destructor. Like every
// operation, it lets no exception out: a portal that cannot be built (memory
// running out half-way) is no portal.
#include <memory>

#include "portal/edge_guard.h"
#include "portal/host/portal.h"
#include "portal/portal_catalogue.h"

extern "C" __attribute__((visibility("default"))) ORLIX::IExtension* portalFactory(
    ORLIX::IPortalHost* host, ORLIX::String portalName, ORLIX::IProperties* /*creationProperties*/) {
  return ORLIX::Portals::guarded<ORLIX::IExtension*>(nullptr, [&]() -> ORLIX::IExtension* {
    std::unique_ptr<ORLIX::IExtension> extension(ORLIX::Portals::createPortal(host, portalName));
    if (!extension || !extension->getInterface(ORLIX::kPortalInterfaceId)) return nullptr;
    return extension.release();
  });
}
