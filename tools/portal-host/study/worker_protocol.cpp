#include "study/worker_protocol.h"

#include <unistd.h>

#include <cerrno>

namespace portalhost {

bool writeAll(int fd, const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool readAll(int fd, void* data, std::size_t size) {
  char* bytes = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = ::read(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool sendFrame(int fd, Frame kind, const std::string& bytes) {
  const std::uint64_t size = bytes.size();
  return writeAll(fd, &kind, 1) && writeAll(fd, &size, sizeof size) && writeAll(fd, bytes.data(), bytes.size());
}

bool sendDesign(int fd, std::uint64_t number, const std::string& attachJob) {
  const std::uint64_t size = attachJob.size();
  return writeAll(fd, &number, sizeof number) && writeAll(fd, &size, sizeof size) &&
         writeAll(fd, attachJob.data(), attachJob.size());
}

bool receiveDesign(int fd, std::uint64_t& number, std::string& attachJob) {
  std::uint64_t size = 0;
  if (!readAll(fd, &number, sizeof number) || !readAll(fd, &size, sizeof size) || size > 4096) return false;
  attachJob.assign(static_cast<std::size_t>(size), '\0');
  return readAll(fd, attachJob.data(), attachJob.size());
}

}  // namespace portalhost
