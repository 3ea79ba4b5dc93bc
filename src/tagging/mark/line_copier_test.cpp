#include "tagging/mark/line_copier.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <utility>

namespace ORLIX {
namespace Portals {
namespace {

// Tiny blocks put lines across block boundaries and make some lines longer
// than a block, which is where copying and cutting could go wrong.
TEST(LineCopier, ReplacesTakenLinesAndCopiesTheRestWhateverTheBlockSize) {
  const String text = "ab\ncdefgh\r\n\nij\nkl";
  for (std::size_t block = 1; block <= 8; ++block) {
    std::istringstream in(text);
    std::ostringstream out;
    LineCopier copier(in, out, block);
    String line;
    ASSERT_TRUE(copier.copyUntil(2));
    ASSERT_TRUE(copier.takeLine(line));
    EXPECT_EQ(line, "cdefgh\r") << block;
    copier.write("X\n");
    ASSERT_TRUE(copier.copyUntil(5));
    EXPECT_EQ(copier.nextLineNumber(), 5);
    ASSERT_TRUE(copier.takeLine(line));
    EXPECT_EQ(line, "kl") << block;
    EXPECT_FALSE(copier.takeLine(line));
    copier.write("Y");
    copier.finish();
    EXPECT_EQ(out.str(), "ab\nX\n\nij\nY") << block;
  }
}

// Long stretches between taken lines are skipped by counting their line
// feeds in bulk; the count must land on exactly the right line.
TEST(LineCopier, LongStretchesLandOnTheRightLine) {
  String text;
  for (int i = 1; i <= 3000; ++i) text += "line " + std::to_string(i) + (i % 7 ? "\n" : "\r\n");
  for (std::size_t block : {std::size_t(5000), LineCopier::kDefaultBlock}) {
    std::istringstream in(text);
    std::ostringstream out;
    LineCopier copier(in, out, block);
    String line;
    for (int wanted : {1, 777, 2106, 3000}) {
      ASSERT_TRUE(copier.copyUntil(wanted));
      ASSERT_TRUE(copier.takeLine(line));
      EXPECT_EQ(line, "line " + std::to_string(wanted) + (wanted % 7 ? "" : "\r")) << block;
      copier.write(line);
      copier.write("\n");
    }
    copier.finish();
    EXPECT_EQ(out.str(), text) << block;
  }
}

// An input that cannot tell its position (a pipe) the way a stream buffer
// without seeking does.
class UnseekableText : public std::streambuf {
 public:
  explicit UnseekableText(String text) : text_(std::move(text)) {
    setg(&text_[0], &text_[0], &text_[0] + text_.size());
  }

 private:
  String text_;
};

// A line longer than a block comes out whole, with room behind it when the
// input can say how long it is, and with whether it ended in a line feed.
TEST(LineCopier, ALineLongerThanABlockComesOutWholeWithItsEnd) {
  const String longLine(100, 'x');
  for (const String& text : {"a\n" + longLine + "\r\nb", "a\n" + longLine}) {
    for (const bool seekable : {true, false}) {
      std::istringstream seekableIn(text);
      UnseekableText buffer(text);
      std::istream unseekableIn(&buffer);
      std::ostringstream out;
      LineCopier copier(seekable ? static_cast<std::istream&>(seekableIn) : unseekableIn, out, 8);
      String line;
      ASSERT_TRUE(copier.copyUntil(2));
      ASSERT_TRUE(copier.takeLine(line, 16));
      const bool ended = text.back() == 'b';
      EXPECT_EQ(line, ended ? longLine + "\r" : longLine) << seekable;
      EXPECT_EQ(copier.takenLineEnded(), ended) << seekable;
      if (seekable) {
        EXPECT_GE(line.capacity(), line.size() + 16);
      }
      copier.write(line + (ended ? "\n" : ""));
      copier.finish();
      EXPECT_FALSE(copier.readFailed());
      EXPECT_EQ(out.str(), text) << seekable;
    }
  }
}

TEST(LineCopier, ALinePastTheEndLeavesEverythingCopiedAsItWas) {
  for (std::size_t block = 1; block <= 4; ++block) {
    std::istringstream in("a\r\nb");
    std::ostringstream out;
    LineCopier copier(in, out, block);
    EXPECT_FALSE(copier.copyUntil(3));
    copier.finish();
    EXPECT_EQ(out.str(), "a\r\nb") << block;
  }
  std::istringstream in("a\n");
  std::ostringstream out;
  LineCopier copier(in, out, 2);
  String line;
  EXPECT_TRUE(copier.copyUntil(2));
  EXPECT_FALSE(copier.takeLine(line));
  copier.flush();
  EXPECT_EQ(out.str(), "a\n");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
