#include "portal/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace ORLIX {
namespace Portals {

// Opened without waiting (a pipe without a writer would otherwise hold the
// open itself), then kept only when fstat says it is a regular file, for
// which the flag changes nothing.
RegularFile::RegularFile(const String& path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) return;
  struct stat info;
  if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    return;
  }
  size_ = static_cast<std::size_t>(info.st_size);
}

RegularFile::~RegularFile() { close(); }

void RegularFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool RegularFile::read(char* into, std::size_t capacity, std::size_t& got) {
  return readFrom(nullptr, into, capacity, got);
}

bool RegularFile::readAt(std::size_t offset, char* into, std::size_t capacity, std::size_t& got) {
  return readFrom(&offset, into, capacity, got);
}

// A read may come back with less than asked for (a signal, a large request):
// it goes on until `capacity` bytes or the end of the file.
bool RegularFile::readFrom(const std::size_t* offset, char* into, std::size_t capacity, std::size_t& got) {
  got = 0;
  if (fd_ < 0) return false;
  while (got < capacity) {
    const ssize_t n = offset ? ::pread(fd_, into + got, capacity - got, static_cast<off_t>(*offset + got))
                             : ::read(fd_, into + got, capacity - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool readRegularFile(const String& path, String& text) {
  RegularFile file(path);
  if (!file.isOpen()) return false;
  text.resize(file.size());
  std::size_t got = 0;
  const bool ok = file.read(&text[0], text.size(), got);
  text.resize(got);
  return ok;
}

}  // namespace Portals
}  // namespace ORLIX
