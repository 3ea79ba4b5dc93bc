#include "brisol/deck_command.h"

#include <gtest/gtest.h>

namespace ORLIX {
namespace Portals {
namespace {

struct Parsed {
  bool ok;
  DeckCommand command;
  String error;
};

Parsed parse(const String& line, int lineNumber = 12) {
  Parsed parsed{false, DeckCommand(), String()};
  parsed.ok = parseDeckCommand(line, lineNumber, parsed.command, parsed.error);
  return parsed;
}

TEST(DeckCommand, ReadsEveryPartOfAWellFormedLine) {
  const Parsed p = parse("ABRE /xTHICK/ /2.5/ ! wall thickness ");
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(p.command.word, "ABRE");
  EXPECT_EQ(p.command.delimiter, '/');
  EXPECT_EQ(p.command.marker, 'x');
  EXPECT_EQ(p.command.name, "THICK");
  EXPECT_EQ(p.command.text, "/2.5/");
  EXPECT_EQ(p.command.value, "2.5");
  EXPECT_EQ(p.command.comment, "wall thickness");
  EXPECT_EQ(p.error, "");
}

TEST(DeckCommand, RewritingKeepsDelimitersMarkerAndComment) {
  const Parsed p = parse("abremcon 'xT\" '1.0' ! t");
  ASSERT_TRUE(p.ok) << p.error;
  EXPECT_EQ(formatDeckCommand(p.command, "2.5"), "abremcon 'xT' '2.5' ! t");
  const Parsed bare = parse("ABRE /xT/ /1/");
  EXPECT_EQ(formatDeckCommand(bare.command, "3"), "ABRE /xT/ /3/");
}

TEST(DeckCommand, EachMalformedShapeGetsItsOwnWarning) {
  EXPECT_EQ(parse("ABRE").error,
            "WARNING: Unable to parse ABRE command on line 12. Cannot find the space that "
            "delimits the ABRE command from the '/name' parameter.");
  EXPECT_EQ(parse("Abre /xT/", 3).error,
            "WARNING: Unable to parse Abre command on line 3. Cannot find the space that "
            "delimits the '/name' parameter from the 'text' parameter.");
  EXPECT_EQ(parse("ABRE /x/ /1/").error,
            "WARNING: Unable to parse ABRE command on line 12. The string that defines the "
            "'/name' parameter should have at least 4 characters. Found 3 characters in /x/.");
  EXPECT_EQ(parse("ABRE /xA/B/ /1/").error,
            "WARNING: ABRE command on line 12 will be skipped, as composed names (\"/xA/B/\") "
            "are not currently supported.");
  EXPECT_EQ(parse("ABRE /xT/ 'abc'").error,
            "WARNING: ABRE command on line 12 will be skipped, as the value (\"'abc'\") is not "
            "numeric.");
}

TEST(DeckCommand, ShortestNameAndRangeLinesAreAccepted) {
  EXPECT_TRUE(parse("ABRE /xT/ /1e3/").ok);
  EXPECT_TRUE(parse("ABRE /xBounds_T*/ /1 5/").ok);
  EXPECT_TRUE(parse("ABRE /xCHOICES_d/ /1 2 4/").ok);
  EXPECT_FALSE(parse("ABRE /xT/ /1,5/").ok);
}

TEST(DeckCommand, AnExclamationMarkEndsTheCommandWhereverItStands) {
  const Parsed p = parse("ABRE /xT/!/1/ rest");
  EXPECT_FALSE(p.ok);
  EXPECT_TRUE(parse("ABRE!x /xT/ /1/").error.find("delimits the '/name'") != String::npos);
}

TEST(DeckCommand, CandidatesBeginWithAbreInAnyCase) {
  EXPECT_TRUE(isAbbreviationLine("abrebos x"));
  EXPECT_TRUE(isAbbreviationLine("ABREMDIS"));
  EXPECT_FALSE(isAbbreviationLine(" ABRE /xT/ /1/"));
  EXPECT_FALSE(isAbbreviationLine("ABR"));
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
