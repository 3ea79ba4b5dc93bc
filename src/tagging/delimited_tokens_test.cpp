#include <gtest/gtest.h>

#include "tagging/tagging_impl.h"

namespace ORLIX {
namespace Portals {
namespace {

using T = TaggingImpl;

String decoded(const String& written, bool expectOk = true) {
  String delims;
  String message;
  EXPECT_EQ(T::parseDelimiters(written, delims, message), expectOk) << written;
  return delims;
}

TEST(ParseDelimiters, DecodesTheFourEscapesAndKeepsOtherCharacters) {
  EXPECT_EQ(decoded("\\,;\"=()'\\t\\s"), ",;\"=()'\t ");
  EXPECT_EQ(decoded("\\\\"), "\\\\");
  EXPECT_EQ(decoded("ab"), "ab");
  EXPECT_EQ(decoded(""), "");
}

TEST(ParseDelimiters, StopsAtABadBackslashKeepingWhatCameBefore) {
  String delims = "#";
  String message;
  EXPECT_FALSE(T::parseDelimiters("a\\qb", delims, message));
  EXPECT_EQ(delims, "#a");
  EXPECT_EQ(message,
            "ERROR: Invalid delimiter list: a backslash must be followed by t (tab), s (blank), "
            "a comma or a second backslash.");
  EXPECT_EQ(decoded("x\\", false), "x");
}

TEST(Tokens, RunsOfDelimitersSeparateAndMakeNoEmptyTokens) {
  EXPECT_EQ(T::tokenize(",,a,,b,", ","), (StringList{"a", "b"}));
  EXPECT_EQ(T::countTokens(",,a,,b,", ","), 2);
  EXPECT_EQ(T::countTokens("", ","), 0);
  EXPECT_EQ(T::countTokens(",,,", ","), 0);
  EXPECT_EQ(T::tokenize("a b", ""), StringList{"a b"});
  // A carriage return is an ordinary character unless it is a delimiter.
  EXPECT_EQ(T::tokenize("1 2\r", " "), (StringList{"1", "2\r"}));
}

TEST(ExtractDelimited, TakesTheNumberedToken) {
  String token;
  String message;
  EXPECT_TRUE(T::extractDelimitedToken(2, "a,,b", 1, "", ",", token, message));
  EXPECT_EQ(token, "b");
  EXPECT_EQ(message, "");
}

TEST(ExtractDelimited, AColumnPastTheLastTokenNamesColumnRowCountAndDelimiters) {
  String token = "kept";
  String message;
  EXPECT_FALSE(T::extractDelimitedToken(3, "x y", 7, "", " ", token, message));
  EXPECT_FALSE(T::extractDelimitedToken(3, "x;y", 7, "out.txt", ";", token, message));
  EXPECT_FALSE(T::extractDelimitedToken(0, "x;y", 8, "out.txt", ";", token, message));
  EXPECT_EQ(token, "kept");
  EXPECT_EQ(message,
            "ERROR: Cannot read column 3 on line 7: the line has only 2 tokens separated by the "
            "delimiters \" \".\n"
            "ERROR: Cannot read column 3 on line 7 of out.txt: the line has only 2 tokens "
            "separated by the delimiters \";\".\n"
            "ERROR: Cannot read column 0 on line 8 of out.txt: the line has only 2 tokens "
            "separated by the delimiters \";\".");
}

String replaced(int col, const String& line, const String& delims, const String& value) {
  String newLine;
  String message;
  EXPECT_TRUE(T::replaceDelimitedToken(col, line, 1, "", delims, value, newLine, message));
  EXPECT_EQ(message, "");
  return newLine;
}

TEST(ReplaceDelimited, OnlyTheTargetTokenChanges) {
  EXPECT_EQ(replaced(2, "a,,b", ",", "xyz"), "a,,xyz");
  EXPECT_EQ(replaced(1, "a,,b", ",", ""), ",,b");
  EXPECT_EQ(replaced(1, "  x  y", " ", "12"), "  12  y");
  EXPECT_EQ(replaced(2, "a b c\r", " ", "1 2"), "a 1 2 c\r");
  EXPECT_EQ(replaced(0, "a b", " ", "z"), "a b");
  EXPECT_EQ(replaced(-4, "", " ", "z"), "");
}

TEST(ReplaceDelimited, AColumnPastTheLastTokenFails) {
  String newLine;
  String message;
  EXPECT_FALSE(T::replaceDelimitedToken(4, "a b", 12, "", " ", "v", newLine, message));
  EXPECT_FALSE(T::replaceDelimitedToken(4, "a b", 12, "in.dat", " ", "v", newLine, message));
  EXPECT_EQ(message,
            "ERROR: Cannot write column 4 on line 12: the line has only 2 tokens separated by the "
            "delimiters \" \".\n"
            "ERROR: Cannot write column 4 on line 12 of in.dat: the line has only 2 tokens "
            "separated by the delimiters \" \".");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
