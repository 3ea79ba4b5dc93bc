// A full disk for the engines' tests without filling the machine's: a small
// file system of its own, mounted on a folder for the life of the object.
// Mounting takes root and mount rights; where the test lacks them, mounted()
// is false and the test skips.
#ifndef ORLIX_TAGGING_SMALL_FILE_SYSTEM_H
#define ORLIX_TAGGING_SMALL_FILE_SYSTEM_H

#include <sys/mount.h>
#include <sys/stat.h>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {
namespace testing {

class SmallFileSystem {
 public:
  // `size` as the mount option takes it ("256k").
  SmallFileSystem(const String& folder, const String& size) : folder_(folder) {
    ::mkdir(folder_.c_str(), 0755);
    mounted_ = ::mount("tmpfs", folder_.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
  }
  ~SmallFileSystem() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;

  bool mounted() const { return mounted_; }

 private:
  String folder_;
  bool mounted_ = false;
};

}  // namespace testing
}  // namespace Portals
}  // namespace ORLIX

#endif
