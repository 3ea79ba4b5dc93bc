#include "portal/chunked_lines.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>

namespace ORLIX {
namespace Portals {
namespace {

// The writer's own copies (changed lines) are held up to a megabyte; what is
// gathered goes out every kRunBytes, or when a write would take more pieces
// than the system accepts at once.
constexpr std::size_t kOwnedBytes = 1u << 20;
constexpr std::size_t kMaxPieces = IOV_MAX;

}  // namespace

// Only a regular file is read (RegularFile): a folder reads as nothing, a
// device may never end, and a pipe without a writer would hold the design.
ChunkedLineReader::ChunkedLineReader(const String& path, std::size_t windowBytes)
    : file_(path), size_(file_.size()), window_(windowBytes) {}

ChunkedLineReader::~ChunkedLineReader() { close(); }

void ChunkedLineReader::close() {
  releaseWindow();
  file_.close();
}

void ChunkedLineReader::releaseWindow() {
  block_ = std::string_view();
  blockPosition_ = 0;
}

// Reads the window that starts at the first unread byte and sets block_ to its
// whole lines; a window without a line end grows until it has one or reaches
// the end of the file.
bool ChunkedLineReader::loadWindow() {
  releaseWindow();
  if (!file_.isOpen() || failed_ || position_ >= size_) return false;
  for (;;) {
    const std::size_t length =
        static_cast<std::size_t>(std::min<unsigned long long>(size_ - position_, window_));
    const char* data = readWindow(position_, length);
    if (!data) {
      failed_ = true;
      return false;
    }
    std::string_view available(data, length);
    if (position_ + length < size_) {
      const auto lastFeed = available.rfind('\n');
      if (lastFeed == std::string_view::npos) {
        window_ *= 2;  // one line longer than the window
        continue;
      }
      available = available.substr(0, lastFeed + 1);
    }
    block_ = available;
    position_ += block_.size();
    return true;
  }
}

// Null when the file ends early (it shrank since it was opened) or cannot be read.
const char* ChunkedLineReader::readWindow(unsigned long long start, std::size_t length) {
  if (bufferCapacity_ < length) {
    buffer_.reset(new char[length]);  // not zero-filled: every byte is read over
    bufferCapacity_ = length;
  }
  std::size_t got = 0;
  const bool whole =
      file_.readAt(static_cast<std::size_t>(start), buffer_.get(), length, got) && got == length;
  return whole ? buffer_.get() : nullptr;
}

bool ChunkedLineReader::nextLines(std::string_view& lines) {
  if (blockPosition_ < block_.size()) {
    lines = block_.substr(blockPosition_);
    blockPosition_ = block_.size();
    return true;
  }
  if (!loadWindow()) return false;
  lines = block_;
  blockPosition_ = block_.size();
  return true;
}

bool ChunkedLineReader::next(std::string_view& line) {
  if (blockPosition_ >= block_.size() && !loadWindow()) return false;
  const std::size_t feed = block_.find('\n', blockPosition_);
  const std::size_t end = feed == std::string_view::npos ? block_.size() : feed;
  line = block_.substr(blockPosition_, end - blockPosition_);
  blockPosition_ = feed == std::string_view::npos ? block_.size() : feed + 1;
  return true;
}

ChunkedWriter::ChunkedWriter(const String& path)
    : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)) {
  owned_.reserve(kOwnedBytes);
}

ChunkedWriter::~ChunkedWriter() { close(); }

void ChunkedWriter::write(std::string_view text) {
  if (fd_ < 0 || text.empty()) return;
  if (owned_.size() + text.size() > owned_.capacity()) flush();
  if (text.size() > owned_.capacity()) {  // too large to hold: out at once
    writeAll({{const_cast<char*>(text.data()), text.size()}});
    return;
  }
  const std::size_t offset = owned_.size();
  owned_.append(text.data(), text.size());  // before add(), which may write it at once
  add({nullptr, offset, text.size()});
}

void ChunkedWriter::passOn(std::string_view text) {
  if (fd_ < 0 || text.empty()) return;
  add({text.data(), 0, text.size()});
}

// Adjacent pieces of one kind merge, so a run of unchanged lines is one piece
// however it was handed in.
void ChunkedWriter::add(const Piece& piece) {
  if (!pieces_.empty()) {
    Piece& last = pieces_.back();
    const bool bothOwned = !last.data && !piece.data && last.offset + last.size == piece.offset;
    const bool adjacent = last.data && piece.data && last.data + last.size == piece.data;
    if (bothOwned || adjacent) {
      last.size += piece.size;
      gathered_ += piece.size;
      if (gathered_ >= kRunBytes) flush();
      return;
    }
  }
  pieces_.push_back(piece);
  gathered_ += piece.size;
  if (gathered_ >= kRunBytes || pieces_.size() >= kMaxPieces) flush();
}

bool ChunkedWriter::flush() {
  if (fd_ < 0) return false;
  std::vector<struct iovec> vectors;
  vectors.reserve(pieces_.size());
  for (const Piece& piece : pieces_) {
    const char* data = piece.data ? piece.data : owned_.data() + piece.offset;
    vectors.push_back({const_cast<char*>(data), piece.size});
  }
  if (!vectors.empty()) writeAll(std::move(vectors));
  pieces_.clear();
  owned_.clear();
  gathered_ = 0;
  return !failed_;
}

// writev may write less than asked (a signal, a nearly full disk): go on from
// where it stopped until everything is out or the system refuses.
bool ChunkedWriter::writeAll(std::vector<struct iovec> pieces) {
  std::size_t first = 0;
  while (!failed_ && first < pieces.size()) {
    const ssize_t wrote = ::writev(fd_, pieces.data() + first, static_cast<int>(pieces.size() - first));
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      failed_ = true;
      break;
    }
    std::size_t left = static_cast<std::size_t>(wrote);
    while (first < pieces.size() && left >= pieces[first].iov_len) left -= pieces[first++].iov_len;
    if (left > 0) {  // part of pieces[first] is out
      pieces[first].iov_base = static_cast<char*>(pieces[first].iov_base) + left;
      pieces[first].iov_len -= left;
    }
  }
  return !failed_;
}

bool ChunkedWriter::close() {
  if (fd_ < 0) return false;
  flush();
  if (::close(fd_) != 0) failed_ = true;
  fd_ = -1;
  return !failed_;
}

}  // namespace Portals
}  // namespace ORLIX
