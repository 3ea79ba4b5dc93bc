// Reading a file the portal is handed by path: results, answers, XML documents.
// Only a regular file is read. A folder opens and then reads as nothing, a
// device may never end, and opening a pipe waits for a writer that may never
// come, holding the design forever. The test is made on the file opened, not
// on its path beforehand: a path swapped for a pipe between a look and an open
// cannot catch the reader.
#ifndef ORLIX_PORTAL_REGULAR_FILE_H
#define ORLIX_PORTAL_REGULAR_FILE_H

#include <cstddef>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

class RegularFile {
 public:
  // Not open when the path names no regular file or cannot be opened.
  explicit RegularFile(const String& path);
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  // The size when the file was opened.
  std::size_t size() const { return size_; }
  // Reads on from where the last read stopped (the start, at first) until
  // `capacity` bytes or the end; `got` says how many came. False on a read error.
  bool read(char* into, std::size_t capacity, std::size_t& got);
  // The same from `offset`, leaving the position of read() where it was.
  bool readAt(std::size_t offset, char* into, std::size_t capacity, std::size_t& got);
  // Closes before the end of the object's life; isOpen() is false after.
  void close();

 private:
  // From `*offset`, or on from the last read when null.
  bool readFrom(const std::size_t* offset, char* into, std::size_t capacity, std::size_t& got);

  int fd_ = -1;
  std::size_t size_ = 0;
};

// The whole file into `text`, sized once. A file cut short since it was
// opened gives what is there. False when it is not a regular file, cannot be
// opened, or a read fails.
bool readRegularFile(const String& path, String& text);

}  // namespace Portals
}  // namespace ORLIX

#endif
