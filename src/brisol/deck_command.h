// One abbreviation command of a Brisol deck, the grammar that discovery reads
// and the update writes back:
//   ABRE <d><m>NAME<d> <d>2.5<d> ! wall thickness
// with <d> the delimiter and <m> the marker character of the name string.
#ifndef ORLIX_BRISOL_DECK_COMMAND_H
#define ORLIX_BRISOL_DECK_COMMAND_H

#include <string_view>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

struct DeckCommand {
  String word;        // the command word as written ("ABRE", "abremcon", ...)
  String nameString;  // delimiters and marker included
  char delimiter = 0;
  char marker = 0;
  String name;     // the abbreviation's name
  String text;     // the value as written, delimiters included
  String value;    // the value without its delimiters
  String comment;  // after the first '!', trimmed
};

// Whether a deck line, lower-cased, begins with "abre".
bool isAbbreviationLine(std::string_view line);

// Parses one command line (1-based `lineNumber`, used in messages). On failure
// one WARNING saying why has been appended to `error`.
bool parseDeckCommand(const String& line, int lineNumber, DeckCommand& command, String& error);

// The line the update writes for `command` with a new value; the comment is
// kept when the line had one.
String formatDeckCommand(const DeckCommand& command, const String& value);

}  // namespace Portals
}  // namespace ORLIX

#endif
