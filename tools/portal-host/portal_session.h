// One portal for one host, for as long as the session lives: the library
// loaded, the portal made through portalFactory and checked, and on the way
// out the portal destroyed before its library goes.
#ifndef PORTAL_HOST_PORTAL_SESSION_H
#define PORTAL_HOST_PORTAL_SESSION_H

#include <memory>
#include <string>

#include "portal/host/portal.h"
#include "portal_library.h"

namespace portalhost {

class PortalSession {
 public:
  // Throws LibraryError when the library cannot be loaded, or when it makes no
  // portal of that name, or one without an IPortal.
  PortalSession(const std::string& libraryPath, ORLIX::IPortalHost& host, const std::string& portalName);
  ~PortalSession();
  PortalSession(const PortalSession&) = delete;
  PortalSession& operator=(const PortalSession&) = delete;

  ORLIX::IPortal& portal() { return *portal_; }

 private:
  PortalLibrary library_;
  std::unique_ptr<ORLIX::IExtension> extension_;
  ORLIX::IPortal* portal_ = nullptr;
};

}  // namespace portalhost

#endif
