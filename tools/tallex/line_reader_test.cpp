#include "line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tallex {
namespace {

std::vector<std::string> allLines(LineReader& reader) {
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.next(line)) lines.emplace_back(line);
  return lines;
}

// A real FILE*, so that the chunked path is what runs.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& text) : file_(std::tmpfile()) {
    std::fwrite(text.data(), 1, text.size(), file_);
    std::rewind(file_);
  }
  ~TemporaryFile() { std::fclose(file_); }
  std::FILE* get() const { return file_; }

 private:
  std::FILE* file_;
};

const std::vector<std::string> kExpected = {"first", "", "third line", "last"};

TEST(LineReader, TakesCrLfAndLfAlikeAndKeepsALastLineWithoutEnd) {
  const std::string text = "first\r\n\nthird line\r\nlast";
  LineReader memory(text);
  EXPECT_EQ(kExpected, allLines(memory));
  TemporaryFile file(text);
  LineReader streamed(file.get());
  EXPECT_EQ(kExpected, allLines(streamed));
  EXPECT_EQ(4, streamed.lineNumber());
  EXPECT_EQ("", streamed.error());
}

TEST(LineReader, JoinsLinesThatCrossChunkBoundaries) {
  std::string text;
  std::vector<std::string> expected;
  for (int i = 0; i < 200; ++i) {
    expected.push_back(std::string(static_cast<std::size_t>(i % 37), 'x') + std::to_string(i));
    text += expected.back() + (i % 3 == 0 ? "\r\n" : "\n");
  }
  TemporaryFile file(text);
  LineReader reader(file.get(), 16);
  EXPECT_EQ(expected, allLines(reader));
}

TEST(LineReader, AnEmptyTextHasNoLines) {
  LineReader memory{std::string_view()};
  EXPECT_TRUE(allLines(memory).empty());
  TemporaryFile file("");
  LineReader streamed(file.get());
  EXPECT_TRUE(allLines(streamed).empty());
  EXPECT_EQ("", streamed.error());
}

TEST(LineReader, RefusesAFileLineLongerThanTheLimit) {
  TemporaryFile file("short\n" + std::string(LineReader::kMaxLineLength + 1, 'a') + "\nafter\n");
  LineReader reader(file.get(), 4096);
  EXPECT_EQ(std::vector<std::string>{"short"}, allLines(reader));
  EXPECT_EQ("line 2 is longer than 1048576 characters", reader.error());
}

TEST(TrimBlanks, RemovesBlanksAndTabsAtBothEndsOnly) {
  EXPECT_EQ("a \t b", trimBlanks(" \t a \t b\t "));
  EXPECT_EQ("", trimBlanks(" \t "));
}

}  // namespace
}  // namespace tallex
