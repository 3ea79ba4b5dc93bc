#include "study/output_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace portalhost {

void writeOutputFile(const std::string& path, const std::function<void(std::ostream&)>& write) {
  const auto fail = [&path]() {
    const int error = errno;
    throw OutputError(path + ": cannot be written: " + (error != 0 ? std::strerror(error) : "write failed"));
  };
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out.is_open()) fail();
  write(out);
  out.flush();
  if (!out) fail();
  out.close();
  if (!out) fail();
}

}  // namespace portalhost
