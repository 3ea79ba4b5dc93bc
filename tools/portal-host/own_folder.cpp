#include <cstdlib>
#include <filesystem>

#include "portal_library.h"
#include "user_commands.h"

namespace portalhost {

std::string ownFolder() { return std::filesystem::path(PortalLibrary::defaultPath()).parent_path().string(); }

void appendOwnFolderToPath() {
  const char* path = std::getenv("PATH");
  const std::string own = ownFolder();
  ::setenv("PATH", ((path && *path ? std::string(path) + ":" : std::string()) + own).c_str(), 1);
}

}  // namespace portalhost
