// Reads what the stand-in needs of a deck: its abbreviation commands and its
// MODULES line. Every other line (comments, mesh cards, RETURN) is left alone.
#ifndef BRISOL_DECK_READER_H
#define BRISOL_DECK_READER_H

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace brisol {

struct Abbreviation {
  std::string name;   // case kept; names are compared case-sensitively
  std::string value;  // the text between the value's delimiters, unchecked
  int line = 0;
};

struct Deck {
  std::vector<Abbreviation> abbreviations;  // deck order
  bool hasModulesLine = false;
  int modulesLine = 0;
  std::vector<std::string> modules;   // entries of the last MODULES line, trimmed, lower case
  std::vector<std::string> warnings;  // one per line the reader had to skip

  // The last definition of `name`, as a later ABRE overrides an earlier one;
  // null when the deck has none.
  const Abbreviation* find(const std::string& name) const;
};

// True for a line whose first four characters are "abre" in any case.
bool isAbbreviationLine(std::string_view line);

// One abbreviation command line. False, with the reason, for a line that does
// not follow the grammar; a reason names no line number.
bool parseAbbreviation(std::string_view line, Abbreviation& abbreviation, std::string& why);

Deck readDeck(std::istream& in);

}  // namespace brisol

#endif
