// Line readers and writers. Both always work in binary mode: the files we read
// come from Windows and Unix tools alike, and a carriage return must reach the
// caller as it is in the file instead of being translated on some platforms only.
// The `binary` and `append` flags of the host interface are kept for its sake.
#include <sys/stat.h>

#include "portal/host/support.h"

namespace ORLIX {
namespace Support {

namespace {

// Only a regular file is read. A folder opens like a file and then reads as
// nothing, so a caller would take it for an empty file; a device may never
// end; and opening a pipe waits for a writer that may never come. Each must
// look like what it is to the caller: a file that cannot be opened.
bool isRegularFile(const String& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

FileReader::FileReader(const String& path, bool /*binary*/) {
  if (isRegularFile(path)) open(path, std::ios::in | std::ios::binary);
}

bool FileReader::getLine(String& line, char delimiter) {
  return static_cast<bool>(std::getline(*this, line, delimiter));
}

FileWriter::FileWriter() = default;

FileWriter::FileWriter(const String& path, bool append) { open(path, append); }

void FileWriter::open(const String& path, bool append) {
  // A stream reused for another file starts afresh instead of failing on the
  // second open.
  if (is_open()) close();
  clear();
  std::ofstream::open(path, std::ios::out | std::ios::binary |
                                (append ? std::ios::app : std::ios::trunc));
}

}  // namespace Support
}  // namespace ORLIX
