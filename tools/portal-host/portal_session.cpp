#include "portal_session.h"

namespace portalhost {

PortalSession::PortalSession(const std::string& libraryPath, ORLIX::IPortalHost& host,
                             const std::string& portalName)
    : library_(libraryPath) {
  extension_.reset(library_.factory()(&host, portalName, nullptr));
  if (!extension_) throw LibraryError(libraryPath + ": portalFactory made no \"" + portalName + "\" portal");
  portal_ = static_cast<ORLIX::IPortal*>(extension_->getInterface(ORLIX::kPortalInterfaceId));
  if (portal_ == nullptr) {
    extension_.reset();
    throw LibraryError(libraryPath + ": the \"" + portalName + "\" portal has no IPortal interface");
  }
}

PortalSession::~PortalSession() { extension_.reset(); }

}  // namespace portalhost
