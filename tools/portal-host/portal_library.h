// The portal library, loaded the way the real host loads it: dlopen and the one
// exported factory, nothing linked in.
#ifndef PORTAL_HOST_PORTAL_LIBRARY_H
#define PORTAL_HOST_PORTAL_LIBRARY_H

#include <stdexcept>
#include <string>

#include "portal/host/portal.h"

namespace portalhost {

// The library cannot be loaded or lacks portalFactory (exit status 3).
class LibraryError : public std::runtime_error {
 public:
  explicit LibraryError(const std::string& what) : std::runtime_error(what) {}
};

class PortalLibrary {
 public:
  explicit PortalLibrary(const std::string& path);  // throws LibraryError
  ~PortalLibrary();
  PortalLibrary(const PortalLibrary&) = delete;
  PortalLibrary& operator=(const PortalLibrary&) = delete;

  ORLIX::PortalFactoryFunction factory() const { return factory_; }

  // libbrisolportal.so in the folder of the running executable.
  static std::string defaultPath();

 private:
  void* handle_ = nullptr;
  ORLIX::PortalFactoryFunction factory_ = nullptr;
};

}  // namespace portalhost

#endif
