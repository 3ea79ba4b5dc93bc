#include "portal/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "portal/host/support.h"

namespace ORLIX {
namespace Portals {
namespace {

// A descriptor that closes itself; -1 when nothing is held.
class HeldFile {
 public:
  explicit HeldFile(int fd) : fd_(fd) {}
  ~HeldFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

bool copyAll(int from, int to) {
  off_t offset = 0;
  for (;;) {
    // The kernel copies without a pass through user memory where it can.
    const ssize_t copied = ::copy_file_range(from, &offset, to, nullptr, 1 << 30, 0);
    if (copied == 0) return true;
    if (copied > 0) continue;
    break;
  }
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = ::pread(from, buffer, sizeof buffer, offset);
    if (got == 0) return true;
    if (got < 0) return false;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put = ::write(to, buffer + done, static_cast<std::size_t>(got - done));
      if (put <= 0) return false;
      done += put;
    }
    offset += got;
  }
}

// Writes the held content under `path` again, with its former permissions. A
// half-written copy would pass for the original, so it is removed.
bool restore(int held, const String& path, mode_t mode) {
  const int out = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (out < 0) return false;
  const bool copied = copyAll(held, out);
  const bool closed = ::close(out) == 0;
  if (copied && closed) return true;
  Support::File::remove(path);
  return false;
}

}  // namespace

FileReplacement replaceByTemp(const String& tempPath, const String& path) {
  FileReplacement result;
  const HeldFile original(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  result.originalFound = original.fd() >= 0;
  bool deleted = false;
  mode_t mode = 0644;
  if (result.originalFound) {
    // The new content keeps the file's permissions: a deck the user made
    // read-only stays read-only (the folder, not the file, decides whether it
    // can be replaced).
    struct stat status {};
    if (::fstat(original.fd(), &status) == 0) {
      mode = status.st_mode & 07777;
      ::chmod(tempPath.c_str(), mode);
    }
    deleted = Support::File::remove(path);
    result.deleteFailed = !deleted;
  }
  result.renamed = Support::File::rename(tempPath, path);
  if (!result.renamed && deleted) result.restored = restore(original.fd(), path, mode);
  return result;
}

}  // namespace Portals
}  // namespace ORLIX
