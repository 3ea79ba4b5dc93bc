// The buffered reader serves solver result files of hundreds of megabytes;
// holding one in memory would cost its size in resident memory. So the file
// stays open and the reader holds only one offset per row, found in one pass
// at opening, and one window of the file's bytes, read again where a row is
// asked for that the window does not hold.
//
// The bytes are read (pread) rather than mapped: a mapped file that another
// program cuts shorter ends the process with SIGBUS at the next touch past
// its new end, where a read merely comes back short. Mapping was only about
// a tenth faster, on the opening pass alone.
//
// A file that changes after opening keeps the rows found at opening: a row is
// whatever bytes its offsets held when the window last read them, what a
// shortened file no longer has is left out (a row past the new end reads
// empty), and bytes added later are no rows. Nothing of this can crash.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "portal/host/support.h"
#include "support/reader_window.h"
#include "support/regular_file.h"

namespace ORLIX {
namespace Support {

namespace {

std::atomic<std::size_t> windowSetting{kDefaultReaderWindow};

constexpr std::size_t kRowsPerBlock = std::size_t(1) << 16;  // 512 kB of offsets

// A row far from the window is a jump: only this share of a window (a page
// or so) is read for it, so that a script hopping about the file does not
// read a whole window per row. A scan that goes on from there reads whole
// windows again.
constexpr std::size_t kJumpShare = 256;

// Up to `length` bytes at `offset`, fewer only at the end of the file; -1 on
// an I/O failure.
ssize_t readAt(int fd, char* into, std::size_t length, std::uint64_t offset) {
  std::size_t done = 0;
  while (done < length) {
    const ssize_t got = ::pread(fd, into + done, length - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return static_cast<ssize_t>(done);
}

// Position of the next '\n' at or after `from`, or nullptr.
const char* nextFeed(const char* from, const char* end) {
  return static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(end - from)));
}

}  // namespace

void setReaderWindowForTests(std::size_t bytes) {
  windowSetting = bytes > 0 ? bytes : kDefaultReaderWindow;
}

FileBufferedReader::FileBufferedReader(const String& path) {
  std::uint64_t size = 0;
  fd_ = Detail::openRegularFile(path, size);
  if (fd_ < 0) return;
  // A small file takes a small buffer; a page at least, for a file that was
  // still empty just now.
  const std::size_t span = static_cast<std::size_t>(
      std::min<std::uint64_t>(windowSetting, std::max<std::uint64_t>(size, 4096)));
  bool indexed = false;
  try {
    indexed = indexRows(span);
  } catch (...) {
    // No destructor runs for an object whose constructor throws: the
    // descriptor would stay open for the rest of the host's life.
    ::close(fd_);
    throw;
  }
  if (indexed) return;
  ::close(fd_);
  fd_ = -1;
  rows_ = 0;
  decltype(rowStarts_)().swap(rowStarts_);
  decltype(window_)().swap(window_);
  windowFill_ = 0;
}

FileBufferedReader::~FileBufferedReader() {
  if (fd_ >= 0) ::close(fd_);
}

// One pass through the window's buffer: a row starts at 0 and after every
// '\n' but a final one. The window is left holding the last piece read, which
// for a small file is all of it.
bool FileBufferedReader::indexRows(std::size_t span) {
  window_.resize(span);
  addRowStart(0);
  std::uint64_t offset = 0;
  for (;;) {
    const ssize_t got = readAt(fd_, window_.data(), window_.size(), offset);
    if (got < 0) return false;
    if (got == 0) break;
    const char* const begin = window_.data();
    const char* const end = begin + got;
    for (const char* feed = begin; (feed = nextFeed(feed, end)) != nullptr;) {
      ++feed;
      addRowStart(offset + static_cast<std::uint64_t>(feed - begin));
    }
    windowStart_ = offset;
    windowFill_ = static_cast<std::size_t>(got);
    offset += static_cast<std::uint64_t>(got);
  }
  // A row that would start at the end of the file is none: the file is empty
  // or ends with '\n'.
  lastRowEnd_ = offset;
  if (rowStart(rows_ - 1) == offset) {
    rowStarts_.back().pop_back();
    --rows_;
    if (offset > 0) --lastRowEnd_;
  }
  return true;
}

// The first block grows with the file, so that a small file takes little;
// the others are taken whole.
void FileBufferedReader::addRowStart(std::uint64_t start) {
  if (rowStarts_.empty() || rowStarts_.back().size() == kRowsPerBlock) {
    rowStarts_.emplace_back();
    if (rowStarts_.size() > 1) rowStarts_.back().reserve(kRowsPerBlock);
  }
  rowStarts_.back().push_back(start);
  ++rows_;
}

std::uint64_t FileBufferedReader::rowStart(std::size_t row) const {
  return rowStarts_[row / kRowsPerBlock][row % kRowsPerBlock];
}

int FileBufferedReader::numLines() const { return static_cast<int>(rows_); }

bool FileBufferedReader::gotoLine(const int& row) {
  if (row < 0 || row >= numLines()) return false;
  row_ = row;
  return true;
}

String FileBufferedReader::getLine(int row) const {
  if (row < 0 || row >= numLines()) return String();
  const std::size_t index = static_cast<std::size_t>(row);
  const std::uint64_t start = rowStart(index);
  const std::uint64_t end = index + 1 < rows_ ? rowStart(index + 1) - 1 : lastRowEnd_;
  const std::size_t length = static_cast<std::size_t>(end - start);
  return length > window_.size() ? readDirectly(start, length) : copyFromWindow(start, length);
}

bool FileBufferedReader::windowHolds(std::uint64_t start, std::size_t length) const {
  return start >= windowStart_ && start + length <= windowStart_ + windowFill_;
}

String FileBufferedReader::copyFromWindow(std::uint64_t start, std::size_t length) const {
  if (!windowHolds(start, length)) moveWindow(start, length);
  const std::uint64_t windowEnd = windowStart_ + windowFill_;
  if (start >= windowEnd) return String();  // the file has been cut shorter
  const std::size_t held =
      static_cast<std::size_t>(std::min<std::uint64_t>(length, windowEnd - start));
  return String(window_.data() + (start - windowStart_), held);
}

// Rows are mostly asked for in order, down or up the file. Going down (or
// after a jump) the window starts at the row asked for; going up it ends
// with it, so that it holds the rows asked for next either way.
void FileBufferedReader::moveWindow(std::uint64_t start, std::size_t length) const {
  const std::uint64_t end = start + length;
  const bool near = windowFill_ > 0 && end + window_.size() >= windowStart_ &&
                    start <= windowStart_ + windowFill_ + window_.size();
  const std::size_t span = near ? window_.size() : std::max(length, window_.size() / kJumpShare);
  const bool upward = near && start < windowStart_;
  windowStart_ = !upward ? start : end > span ? end - span : 0;
  const ssize_t got = readAt(fd_, window_.data(), span, windowStart_);
  windowFill_ = got > 0 ? static_cast<std::size_t>(got) : 0;
}

// A row longer than the window goes straight into its string: copied once,
// and the window stays where the scan will want it next.
String FileBufferedReader::readDirectly(std::uint64_t start, std::size_t length) const {
  String row(length, '\0');
  const ssize_t got = readAt(fd_, &row[0], length, start);
  row.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  return row;
}

}  // namespace Support
}  // namespace ORLIX
