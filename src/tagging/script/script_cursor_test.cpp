#include "tagging/script/script_cursor.h"

#include <gtest/gtest.h>

#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace {

class Cursor : public ::testing::Test {
 protected:
  void open(const String& content) {
    reader.reset(new Support::FileBufferedReader(folder.write("f.txt", content)));
    cursor.reset(new ScriptCursor(*reader, modified));
  }
  // "found on line L after column C" or "not found, N seen"; the cursor's
  // line either way, so a test also sees where the cursor was left.
  String find(const String& text, int instance) {
    const ScriptCursor::Search s = cursor->findText(text, instance);
    const String where = " (cursor on " + std::to_string(cursor->row() + 1) + ")";
    if (!s.found) return "not found, " + std::to_string(s.count) + " seen" + where;
    return "column " + std::to_string(s.column) + where;
  }

  testing::TempFolder folder;
  ModifiedLines modified;
  std::unique_ptr<Support::FileBufferedReader> reader;
  std::unique_ptr<ScriptCursor> cursor;
};

TEST_F(Cursor, SearchesDownFromTheStartOfTheCurrentLine) {
  open("a x\nb x x\nc\nx d\n");
  cursor->moveTo(1);
  EXPECT_EQ(find("x", 1), "column 3 (cursor on 2)");
  EXPECT_EQ(find("x", 2), "column 5 (cursor on 2)");
  EXPECT_EQ(find("x", 3), "column 1 (cursor on 4)");
}

TEST_F(Cursor, CountsDownwardOccurrencesWithoutOverlap) {
  open("aaaa\naa\n");
  EXPECT_EQ(find("aa", 2), "column 4 (cursor on 1)");
  EXPECT_EQ(find("aa", 3), "column 2 (cursor on 2)");
}

TEST_F(Cursor, SearchesUpFromTheEndOfTheCurrentLineAndLetsOccurrencesOverlap) {
  open("x a\nb\naaaa\nc\n");
  cursor->moveTo(2);
  // Upward, "aa" is found at columns 2, 1 and 0 of "aaaa".
  EXPECT_EQ(find("aa", -1), "column 4 (cursor on 3)");
  EXPECT_EQ(find("aa", -3), "column 2 (cursor on 3)");
  EXPECT_EQ(find("x", -1), "column 1 (cursor on 1)");
}

TEST_F(Cursor, LeavesTheCursorWhereItWasWhenTheOccurrenceIsNotThere) {
  open("x\ny\nx\nz\n");
  cursor->moveTo(1);
  EXPECT_EQ(find("x", 2), "not found, 1 seen (cursor on 2)");
  EXPECT_EQ(find("x", -2), "not found, 1 seen (cursor on 2)");
  EXPECT_EQ(find("q", 1), "not found, 0 seen (cursor on 2)");
}

TEST_F(Cursor, SearchesChangedLinesAsChanged) {
  open("a\nb\nc\n");
  modified[1] = "b marker";
  EXPECT_EQ(find("marker", 1), "column 8 (cursor on 2)");
  EXPECT_EQ(cursor->currentLineText(), "b marker");
  EXPECT_EQ(cursor->lineText(2), "c");
}

TEST_F(Cursor, EndsASearchForEmptyTextInBothDirections) {
  open("ab\nc\n");
  EXPECT_EQ(find("", 3), "column 2 (cursor on 1)");
  EXPECT_EQ(find("", 100), "not found, 5 seen (cursor on 1)");
  cursor->moveTo(1);
  EXPECT_EQ(find("", -100), "not found, 5 seen (cursor on 2)");
}

TEST_F(Cursor, FindsNothingInAnEmptyFile) {
  open("");
  EXPECT_EQ(find("x", 1), "not found, 0 seen (cursor on 1)");
  EXPECT_EQ(find("x", -1), "not found, 0 seen (cursor on 1)");
}

TEST_F(Cursor, GoesToTheLastLineThatIsNotEmptyAsChangedOrElseToTheFirst) {
  open("a\nb\n\nc");
  modified[3] = "";
  cursor->gotoEnd();
  EXPECT_EQ(cursor->row(), 1);
  open("\n\n\n");
  cursor->moveTo(2);
  cursor->gotoEnd();
  EXPECT_EQ(cursor->row(), 0);
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
