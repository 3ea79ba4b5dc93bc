#include "support/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace ORLIX {
namespace Support {
namespace Detail {

int openRegularFile(const String& path, std::uint64_t& size) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);  // reads wait as usual from here on
  size = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
  return fd;
}

WholeRead readWholeRegularFile(const String& path, String& text) {
  text.clear();
  std::uint64_t size = 0;
  // Closed however the reading ends: growing the text may throw.
  struct Descriptor {
    int fd;
    ~Descriptor() {
      if (fd >= 0) ::close(fd);
    }
  } const file{openRegularFile(path, size)};
  if (file.fd < 0) return WholeRead::cannotOpen;
  // One byte more than the size at opening, so that the common case ends on
  // the read that comes back empty; a file that grew meanwhile goes on growing
  // the text.
  text.resize(static_cast<std::size_t>(size) + 1);
  std::size_t done = 0;
  WholeRead result = WholeRead::ok;
  for (;;) {
    if (done == text.size()) text.resize(text.size() * 2);
    const ssize_t got = ::read(file.fd, &text[done], text.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) result = WholeRead::readFailed;
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  text.resize(done);
  return result;
}

}  // namespace Detail
}  // namespace Support
}  // namespace ORLIX
