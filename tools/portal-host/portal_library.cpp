#include "portal_library.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

namespace portalhost {
namespace {

// Under AddressSanitizer the library stays mapped after dlclose, so that leak
// reports can still name the portal's functions.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kOpenFlags = RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE;
#else
constexpr int kOpenFlags = RTLD_NOW | RTLD_LOCAL;
#endif

}  // namespace

PortalLibrary::PortalLibrary(const std::string& path) {
  handle_ = ::dlopen(path.c_str(), kOpenFlags);
  if (handle_ == nullptr) {
    const char* reason = ::dlerror();
    throw LibraryError("cannot load portal library " + path + ": " + (reason != nullptr ? reason : "unknown error"));
  }
  ::dlerror();
  void* symbol = ::dlsym(handle_, "portalFactory");
  if (symbol == nullptr) {
    ::dlclose(handle_);
    handle_ = nullptr;
    throw LibraryError("portal library " + path + " has no portalFactory");
  }
  factory_ = reinterpret_cast<ORLIX::PortalFactoryFunction>(symbol);
}

PortalLibrary::~PortalLibrary() {
  if (handle_ != nullptr) ::dlclose(handle_);
}

std::string PortalLibrary::defaultPath() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "libbrisolportal.so";
  return (self.parent_path() / "libbrisolportal.so").string();
}

}  // namespace portalhost
