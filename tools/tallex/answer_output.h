// Where answers are written. A field of a million values is written through
// one growing buffer with std::to_chars, never through a stream per number.
#ifndef TALLEX_ANSWER_OUTPUT_H
#define TALLEX_ANSWER_OUTPUT_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tallex {

class AnswerOutput {
 public:
  // Keeps everything in memory; text() returns it.
  AnswerOutput() = default;
  // Passes the text on to `file` (not owned) whenever enough has gathered.
  explicit AnswerOutput(std::FILE* file) : file_(file) {}
  AnswerOutput(const AnswerOutput&) = delete;
  AnswerOutput& operator=(const AnswerOutput&) = delete;

  void put(std::string_view text);
  void put(char c) { buffer_ += c; }
  void line(std::string_view text) {
    put(text);
    put('\n');
  }
  // The shortest text that reads back as exactly `value`.
  void number(double value);
  void integer(std::int64_t value);

  // Writes what is left to the file; false when any write failed.
  bool finish();
  const std::string& text() const { return buffer_; }

 private:
  void flushIfFull();

  std::FILE* file_ = nullptr;
  std::string buffer_;
  bool failed_ = false;
};

// What AnswerOutput::number writes, as a string.
std::string formatNumber(double value);

}  // namespace tallex

#endif
