#include "support/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace ORLIX {
namespace Support {
namespace Detail {
namespace {

// Large enough that a log is read in few calls, small enough to stay in cache.
constexpr std::size_t kLineBlock = 64u << 10;

// Closed however the reading ends: growing a text may throw.
class Descriptor {
 public:
  explicit Descriptor(int opened) : fd(opened) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
  const int fd;
};

}  // namespace

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
  const Descriptor file{openRegularFile(path, size)};
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

bool forEachLine(const String& path, const std::function<void(String& line)>& take) {
  std::uint64_t size = 0;
  const Descriptor file{openRegularFile(path, size)};
  if (file.fd < 0) return false;
  std::unique_ptr<char[]> block(new char[kLineBlock]);
  String line;
  for (;;) {
    const ssize_t got = ::read(file.fd, block.get(), kLineBlock);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    const char* at = block.get();
    const char* const end = at + got;
    while (const char* feed =
               static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) {
      line.append(at, feed);
      take(line);
      line.clear();
      at = feed + 1;
    }
    line.append(at, end);
  }
  if (!line.empty()) take(line);
  return true;
}

}  // namespace Detail
}  // namespace Support
}  // namespace ORLIX
