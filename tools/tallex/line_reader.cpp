#include "line_reader.h"

#include <cstring>

namespace tallex {

LineReader::LineReader(std::FILE* file, std::size_t chunkSize)
    : file_(file), buffer_(chunkSize < 16 ? 16 : chunkSize) {}

LineReader::LineReader(std::string_view text) : memory_(text), end_(text.size()), atEnd_(true) {}

// Moves the unread tail to the front and appends what the file has next;
// false when nothing more came.
bool LineReader::refill() {
  if (atEnd_) return false;
  const std::size_t held = end_ - begin_;
  if (begin_ > 0 && held > 0) std::memmove(buffer_.data(), buffer_.data() + begin_, held);
  begin_ = 0;
  end_ = held;
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
  end_ += got;
  if (got == 0) {
    atEnd_ = true;
    if (std::ferror(file_)) error_ = "read error after line " + std::to_string(lineNumber_);
    return false;
  }
  return true;
}

bool LineReader::next(std::string_view& line) {
  if (!error_.empty()) return false;
  std::size_t searched = 0;  // characters after begin_ known to hold no line end
  for (;;) {
    const char* data = file_ ? buffer_.data() : memory_.data();
    const std::size_t from = begin_ + searched;
    const void* found = from < end_ ? std::memchr(data + from, '\n', end_ - from) : nullptr;
    std::size_t stop = end_;
    std::size_t after = end_;
    if (found) {
      stop = static_cast<std::size_t>(static_cast<const char*>(found) - data);
      after = stop + 1;
    } else {
      searched = end_ - begin_;
      if (searched <= kMaxLineLength && file_ && refill()) continue;
      if (!error_.empty() || searched == 0) return false;
      // refill() may have moved the tail to the front of the buffer.
      stop = end_;
      after = end_;
    }
    if (file_ && stop - begin_ > kMaxLineLength) {
      error_ = "line " + std::to_string(lineNumber_ + 1) + " is longer than " + std::to_string(kMaxLineLength) +
               " characters";
      return false;
    }
    std::size_t length = stop - begin_;
    if (length > 0 && data[begin_ + length - 1] == '\r') --length;
    line = std::string_view(data + begin_, length);
    begin_ = after;
    ++lineNumber_;
    return true;
  }
}

std::string_view trimBlanks(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && (text[first] == ' ' || text[first] == '\t')) ++first;
  std::size_t last = text.size();
  while (last > first && (text[last - 1] == ' ' || text[last - 1] == '\t')) --last;
  return text.substr(first, last - first);
}

}  // namespace tallex
