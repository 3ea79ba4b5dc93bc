// Where the shipped resources live. The library finds its own file through the
// dynamic loader, so an installation works from any current folder and without
// any set-up; the environment variable lets tests and unusual installations
// point elsewhere.
#include <dlfcn.h>

#include <cstdlib>

#include "portal/host/support.h"
#include "support/host_api.h"

namespace ORLIX {
namespace Support {

namespace {

const char* const kResourceFolderName = "orlixsupport";

// The path of the shared object that holds this function; empty when unknown.
String libraryPath() {
  Dl_info info;
  if (::dladdr(reinterpret_cast<void*>(&libraryPath), &info) == 0 || info.dli_fname == nullptr) {
    return String();
  }
  return info.dli_fname;
}

}  // namespace

String resourceFolder() {
  const char* fromEnvironment = std::getenv("ORLIX_SUPPORT_RESOURCES");
  if (fromEnvironment != nullptr && *fromEnvironment != '\0') return fromEnvironment;

  // The library does not move while it is loaded; asking the loader costs a
  // walk over every loaded object, and the folder is asked for on every
  // tool-message request.
  static const String besideLibrary = [] {
    const String library = libraryPath();
    if (library.empty()) return String(kResourceFolderName);
    return File::parentFolder(library) + "/" + kResourceFolderName;
  }();
  return besideLibrary;
}

}  // namespace Support
}  // namespace ORLIX
