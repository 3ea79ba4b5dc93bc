#include "deck_reader.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brisol {
namespace {

Deck read(const std::string& text) {
  std::istringstream in(text);
  return readDeck(in);
}

std::string refusal(const std::string& line) {
  Abbreviation abbreviation;
  std::string why;
  EXPECT_FALSE(parseAbbreviation(line, abbreviation, why)) << line;
  return why;
}

TEST(DeckAbbreviations, ReadNameValueAndLineWithAnyDelimiterAndMarker) {
  const Deck deck = read(
      "* a cantilever\n"
      "ABRE /%LENGTH/ /1000/ ! beam length\n"
      "abremdis #$ELEMENTS# #8.0#\n"
      "AbReMcOn   /%HEIGHT/   /40/   \r\n"
      "ABREBOS /%T/ /1 2/\n");
  ASSERT_EQ(4u, deck.abbreviations.size());
  EXPECT_EQ("LENGTH", deck.abbreviations[0].name);
  EXPECT_EQ("1000", deck.abbreviations[0].value);
  EXPECT_EQ(2, deck.abbreviations[0].line);
  EXPECT_EQ("ELEMENTS", deck.abbreviations[1].name);
  EXPECT_EQ("8.0", deck.abbreviations[1].value);
  EXPECT_EQ("HEIGHT", deck.abbreviations[2].name);
  EXPECT_EQ("40", deck.abbreviations[2].value);
  EXPECT_EQ("1 2", deck.abbreviations[3].value);
  EXPECT_TRUE(deck.warnings.empty());
}

TEST(DeckAbbreviations, NamesAreCaseSensitiveAndTheLastDefinitionCounts) {
  const Deck deck = read("ABRE /%LOAD/ /1/\nABRE /%load/ /2/\nABRE /%LOAD/ /3/\n");
  ASSERT_NE(nullptr, deck.find("LOAD"));
  EXPECT_EQ("3", deck.find("LOAD")->value);
  EXPECT_EQ(3, deck.find("LOAD")->line);
  EXPECT_EQ("2", deck.find("load")->value);
  EXPECT_EQ(nullptr, deck.find("Load"));
}

TEST(DeckAbbreviations, OtherLinesAndTheSetUpLinesAreLeftAlone) {
  const Deck deck = read(
      "* ABRE /%X/ /1/\n"
      "  ABRE /%INDENTED/ /1/\n"
      "GRID 1 0.0 0.0 0.0\n"
      "ABRE /%bounds_HEIGHT/ /20 80/\n"
      "ABRE /%CHOICES_ELEMENTS/ /2 4 8 16/\n"
      "ABRE /%Y/ /\"not a number\"/\n"
      "RETURN\n");
  ASSERT_EQ(1u, deck.abbreviations.size());
  EXPECT_EQ("Y", deck.abbreviations[0].name);  // the model decides what a value must be
  EXPECT_FALSE(deck.hasModulesLine);
  EXPECT_TRUE(deck.warnings.empty());
}

TEST(DeckAbbreviations, MalformedLinesAreSkippedWithTheirLineAndReason) {
  const Deck deck = read(
      "ABRE\n"
      "ABRE /%X/\n"
      "ABRE /%/ /1/\n"
      "ABRE /%A/B/ /1/\n"
      "ABRE /%Z/ /\n"
      "ABRE /%OK/ /1/\n");
  ASSERT_EQ(1u, deck.abbreviations.size());
  EXPECT_EQ("OK", deck.abbreviations[0].name);
  ASSERT_EQ(5u, deck.warnings.size());
  EXPECT_EQ("line 1: abbreviation skipped: no blank after the command word", deck.warnings[0]);
  EXPECT_EQ("line 2: abbreviation skipped: no blank between the name and the value", deck.warnings[1]);
  EXPECT_EQ(
      "line 3: abbreviation skipped: the name \"/%/\" is shorter than 4 characters (delimiter, marker, name, "
      "delimiter)",
      deck.warnings[2]);
  EXPECT_EQ("line 4: abbreviation skipped: composed names such as \"/%A/B/\" are not supported", deck.warnings[3]);
  EXPECT_EQ("line 5: abbreviation skipped: the value \"/\" has no delimiters", deck.warnings[4]);
}

TEST(DeckAbbreviations, ACommentBeforeTheFirstBlankLeavesNothingToRead) {
  EXPECT_EQ("no blank between the name and the value", refusal("ABRE!x /%T/ /1/"));
  EXPECT_EQ("no blank between the name and the value", refusal("ABRE /%T/ ! /1/"));
}

TEST(DeckAbbreviations, AOneLetterNameIsTheShortestAccepted) {
  Abbreviation abbreviation;
  std::string why;
  ASSERT_TRUE(parseAbbreviation("ABRE /%T/ /2.5/", abbreviation, why)) << why;
  EXPECT_EQ("T", abbreviation.name);
  EXPECT_EQ("2.5", abbreviation.value);
}

TEST(DeckAbbreviations, CandidatesBeginWithAbreInAnyCase) {
  EXPECT_TRUE(isAbbreviationLine("abre x"));
  EXPECT_TRUE(isAbbreviationLine("ABREMDIS x"));
  EXPECT_FALSE(isAbbreviationLine("ABR"));
  EXPECT_FALSE(isAbbreviationLine(" ABRE /%X/ /1/"));
}

TEST(DeckModules, TheListIsTrimmedAndLowerCased) {
  const Deck deck = read("MODULES Static , modal,, ! both\n");
  EXPECT_TRUE(deck.hasModulesLine);
  EXPECT_EQ(1, deck.modulesLine);
  EXPECT_EQ((std::vector<std::string>{"static", "modal"}), deck.modules);
}

TEST(DeckModules, ALaterLineReplacesAnEarlierOneWithAWarning) {
  const Deck deck = read("modules static\n* x\nMODULES modal\n");
  EXPECT_EQ(3, deck.modulesLine);
  EXPECT_EQ((std::vector<std::string>{"modal"}), deck.modules);
  ASSERT_EQ(1u, deck.warnings.size());
  EXPECT_EQ("line 3: a second MODULES line replaces the one on line 1", deck.warnings[0]);
}

TEST(DeckModules, OnlyTheWholeWordCounts) {
  EXPECT_FALSE(read("MODULESX static\nMODULE static\n").hasModulesLine);
  const Deck empty = read("MODULES\n");
  EXPECT_TRUE(empty.hasModulesLine);
  EXPECT_TRUE(empty.modules.empty());
}

}  // namespace
}  // namespace brisol
