// The buffered reader holds solver result files of hundreds of megabytes, so it
// keeps exactly one copy of the bytes and one offset per row: no string per row,
// no growth reallocation of either container (which would briefly double the
// memory). Rows are cut lazily when asked for.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "portal/host/support.h"

namespace ORLIX {
namespace Support {

namespace {

// Reads the whole file into `buffer`; false when it cannot be opened or read,
// or is no regular file: a folder reads as nothing, a device may never end
// (the buffer would grow until memory runs out). Opening does not wait on a
// pipe without a writer; the pipe is then refused like any other non-file.
bool readWholeFile(const String& path, String& buffer) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;

  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);  // reads wait as usual from here on
  const std::size_t expected = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
  buffer.resize(expected);

  std::size_t used = 0;
  char chunk[1 << 16];
  bool ok = true;
  for (;;) {
    // Fill the presized buffer in place; past its end (a file that grew since
    // fstat) go through a small chunk, so that the common case never
    // reallocates the large buffer.
    const bool inPlace = used < buffer.size();
    char* const target = inPlace ? &buffer[used] : chunk;
    const std::size_t room = inPlace ? buffer.size() - used : sizeof chunk;
    const ssize_t got = ::read(fd, target, room);
    if (got < 0) {
      if (errno == EINTR) continue;
      ok = false;  // an I/O failure
      break;
    }
    if (got == 0) break;
    if (inPlace) {
      used += static_cast<std::size_t>(got);
    } else {
      buffer.append(chunk, static_cast<std::size_t>(got));
      used = buffer.size();
    }
  }
  ::close(fd);
  buffer.resize(ok ? used : 0);
  return ok;
}

// Position of the next '\n' at or after `from`, or nullptr.
const char* nextFeed(const char* from, const char* end) {
  return static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(end - from)));
}

}  // namespace

FileBufferedReader::FileBufferedReader(const String& path) {
  if (!readWholeFile(path, buffer_)) {
    String().swap(buffer_);
    return;
  }
  open_ = true;
  if (buffer_.empty()) return;

  const char* const data = buffer_.data();
  const char* const end = data + buffer_.size();

  // Count first so that the offsets take exactly the room they need.
  std::size_t feeds = 0;
  for (const char* p = data; (p = nextFeed(p, end)) != nullptr; ++p) ++feeds;
  const bool endsWithFeed = end[-1] == '\n';
  rowStarts_.reserve(endsWithFeed ? feeds : feeds + 1);

  rowStarts_.push_back(0);
  for (const char* p = data; (p = nextFeed(p, end)) != nullptr; ++p) {
    if (p + 1 < end) rowStarts_.push_back(static_cast<std::size_t>(p + 1 - data));
  }
}

int FileBufferedReader::numLines() const { return static_cast<int>(rowStarts_.size()); }

bool FileBufferedReader::gotoLine(const int& row) {
  if (row < 0 || row >= numLines()) return false;
  row_ = row;
  return true;
}

String FileBufferedReader::getLine(int row) const {
  if (row < 0 || row >= numLines()) return String();
  const std::size_t index = static_cast<std::size_t>(row);
  const std::size_t start = rowStarts_[index];
  std::size_t end;
  if (index + 1 < rowStarts_.size()) {
    end = rowStarts_[index + 1] - 1;  // the '\n' ending this row
  } else {
    end = buffer_.size();
    if (buffer_[end - 1] == '\n') --end;
  }
  return buffer_.substr(start, end - start);
}

}  // namespace Support
}  // namespace ORLIX
