// Lines of a text that may be far larger than memory should hold: a results
// database with a million rows is read through one reusable buffer, and each
// line is handed out as a view into it, valid until the next call.
#ifndef TALLEX_LINE_READER_H
#define TALLEX_LINE_READER_H

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tallex {

class LineReader {
 public:
  // Longer lines of a file are refused rather than grown into: a file without
  // line ends (a binary file given by mistake) must not take all memory.
  static constexpr std::size_t kMaxLineLength = 1 << 20;

  // Streams `file` (not owned, read from its current position).
  explicit LineReader(std::FILE* file, std::size_t chunkSize = 1 << 20);
  // Reads a text already in memory; `text` must outlive the reader.
  explicit LineReader(std::string_view text);

  // The next line without its "\n" or "\r\n"; false at the end of the text or
  // on a failure, which error() then describes. A last line without a line end
  // still counts.
  bool next(std::string_view& line);

  // 1-based number of the line last returned.
  long lineNumber() const { return lineNumber_; }
  const std::string& error() const { return error_; }

 private:
  bool refill();

  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  std::string_view memory_;
  std::size_t begin_ = 0;  // first unread character
  std::size_t end_ = 0;    // one past the last character held
  bool atEnd_ = false;
  long lineNumber_ = 0;
  std::string error_;
};

// Blanks and tabs at both ends removed.
std::string_view trimBlanks(std::string_view text);

}  // namespace tallex

#endif
