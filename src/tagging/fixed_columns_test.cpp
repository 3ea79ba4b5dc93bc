#include <gtest/gtest.h>

#include <climits>
#include <utility>

#include "tagging/tagging_impl.h"

namespace ORLIX {
namespace Portals {
namespace {

using T = TaggingImpl;
using Range = std::pair<int, int>;

Range range(const String& widths, int col, const String& line = "0123456789") {
  int start = 1;
  int end = 0;
  String message;
  EXPECT_TRUE(T::fixedColumnRange(line, widths, col, start, end, message)) << message;
  return {start, end};
}

String rangeError(const String& widths, int col) {
  int start = 1;
  int end = 0;
  String message;
  EXPECT_FALSE(T::fixedColumnRange("line", widths, col, start, end, message));
  return message;
}

TEST(FixedColumnRange, ColumnsFollowTheWidthsAndTheLastWidthRepeats) {
  EXPECT_EQ(range("10.20", 1), Range(1, 10));
  EXPECT_EQ(range("10.20", 2), Range(11, 30));
  EXPECT_EQ(range("10.20", 3), Range(31, 50));
  EXPECT_EQ(range("10", 4), Range(31, 40));
  EXPECT_EQ(range(" 8 . 16\r", 2), Range(9, 24));
}

TEST(FixedColumnRange, AStarRunsToTheEndOfTheLineWhateverTheColumn) {
  EXPECT_EQ(range("5.*", 2, "abcdefghij"), Range(6, 10));
  EXPECT_EQ(range("5.*", 7, "abcdefghij"), Range(6, 10));
  EXPECT_EQ(range("*", 1, "abc"), Range(1, 3));
}

TEST(FixedColumnRange, HugeColumnsClampInsteadOfWrapping) {
  const Range r = range("10", INT_MAX);
  EXPECT_EQ(r, Range(INT_MAX, INT_MAX));
}

TEST(FixedColumnRange, BadColumnsAndWidthsAreReportedWithTheirElement) {
  EXPECT_EQ(rangeError("10", 0),
            "ERROR: Column 0 does not exist: fixed-width columns are numbered from 1.");
  EXPECT_EQ(rangeError("10.0", 2),
            "ERROR: Invalid column width \"0\" in the fixed-width column list: every width must "
            "be a number of at least 1.");
  EXPECT_EQ(rangeError("x.10", 2),
            "ERROR: Invalid column width \"x\" in the fixed-width column list: every width must "
            "be a number of at least 1.");
  EXPECT_EQ(rangeError("10.x", 2),
            "ERROR: Invalid last entry \"x\" in the fixed-width column list: it must be a width "
            "or \"*\" for the rest of the line.");
  EXPECT_EQ(rangeError("", 1),
            "ERROR: Invalid last entry \"\" in the fixed-width column list: it must be a width "
            "or \"*\" for the rest of the line.");
}

TEST(ExtractFixed, ReadsTheRangeAndCutsAnEndPastTheLine) {
  String token;
  String message;
  EXPECT_TRUE(T::extractFixedToken(3, 5, "abcdef", 1, "", token, message));
  EXPECT_EQ(token, "cde");
  EXPECT_EQ(message, "");
  EXPECT_TRUE(T::extractFixedToken(3, 10, "abcdef", 4, "", token, message));
  EXPECT_TRUE(T::extractFixedToken(3, 10, "abcdef", 4, "r.txt", token, message));
  EXPECT_EQ(token, "cdef");
  EXPECT_EQ(message,
            "WARNING: Line 4 ends before position 10: it is only 6 characters long, so the field "
            "was read to the end of the line.\n"
            "WARNING: Line 4 of r.txt ends before position 10: it is only 6 characters long, so "
            "the field was read to the end of the line.");
}

TEST(ExtractFixed, RangesOutsideTheLineFail) {
  String token;
  String message;
  EXPECT_FALSE(T::extractFixedToken(7, 9, "abcdef", 2, "", token, message));
  EXPECT_FALSE(T::extractFixedToken(7, 9, "abcdef", 2, "r.txt", token, message));
  EXPECT_FALSE(T::extractFixedToken(0, 3, "abcdef", 2, "r.txt", token, message));
  EXPECT_FALSE(T::extractFixedToken(4, 3, "abcdef", 2, "", token, message));
  EXPECT_EQ(message,
            "ERROR: Cannot read line 2 from position 7: the line is only 6 characters long.\n"
            "ERROR: Cannot read line 2 of r.txt from position 7: the line is only 6 characters "
            "long.\n"
            "ERROR: Cannot read line 2 of r.txt from position 0: positions are numbered from 1.\n"
            "ERROR: Cannot read line 2: the field ends at position 3, before its start at "
            "position 4.");
}

TEST(ReplaceFixed, TheValueIsFittedToTheFieldAndTheLineKeepsItsLength) {
  String newLine;
  String message;
  int end = 5;
  EXPECT_TRUE(T::replaceFixedToken(3, end, "abcdef", 9, "in.dat", "1", newLine, message));
  EXPECT_EQ(newLine, "ab  1f");
  EXPECT_EQ(message,
            "WARNING: Line 9 of in.dat: the field from position 3 to 5 does not match the value's "
            "length of 1 characters; the value was cut, or right-aligned with blanks, to fit.");
  message.clear();
  EXPECT_TRUE(T::replaceFixedToken(3, end, "abcdef", 9, "", "12345", newLine, message));
  EXPECT_EQ(newLine, "ab123f");
  EXPECT_TRUE(T::replaceFixedToken(3, end, "abcdef\r", 9, "", "xyz", newLine, message));
  EXPECT_EQ(newLine, "abxyzf\r");
  EXPECT_EQ(message,
            "WARNING: Line 9: the field from position 3 to 5 does not match the value's length "
            "of 5 characters; the value was cut, or right-aligned with blanks, to fit.");
}

TEST(ReplaceFixed, AnEndPastTheLineIsCutBackForTheCaller) {
  String newLine;
  String message;
  int end = 40;
  EXPECT_TRUE(T::replaceFixedToken(5, end, "abcdef", 3, "", "XY", newLine, message));
  EXPECT_EQ(end, 6);
  EXPECT_EQ(newLine, "abcdXY");
  EXPECT_EQ(message,
            "WARNING: The field on line 3 reached past the end of the line; it now ends at "
            "position 6.");
}

TEST(ReplaceFixed, RangesOutsideTheLineFailAndLeaveTheLineAsItWas) {
  String newLine;
  String message;
  int end = 9;
  EXPECT_FALSE(T::replaceFixedToken(8, end, "abcdef", 1, "in.dat", "v", newLine, message));
  EXPECT_EQ(newLine, "abcdef");
  end = 2;
  EXPECT_FALSE(T::replaceFixedToken(-1, end, "abcdef", 1, "", "v", newLine, message));
  EXPECT_FALSE(T::replaceFixedToken(3, end, "abcdef", 1, "in.dat", "v", newLine, message));
  EXPECT_EQ(message,
            "ERROR: Cannot write into line 1 of in.dat from position 8: the line is only 6 "
            "characters long.\n"
            "ERROR: Cannot write into line 1 from position -1: positions are numbered from 1.\n"
            "ERROR: Cannot write into line 1 of in.dat: the field ends at position 2, before its "
            "start at position 3.");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
