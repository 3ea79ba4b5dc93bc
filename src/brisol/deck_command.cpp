#include "brisol/deck_command.h"

#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/properties.h"
#include "portal/text.h"

namespace ORLIX {
namespace Portals {

bool isAbbreviationLine(std::string_view line) {
  static const char kWord[] = "abre";
  if (line.size() < 4) return false;
  for (int i = 0; i < 4; ++i) {
    if ((line[i] | 0x20) != kWord[i]) return false;  // ASCII letters in either case
  }
  return true;
}

// Values are read in the classic locale with '.' as the decimal separator
// only: decks are written by programs, not in the user's locale.
bool parseDeckCommand(const String& line, int lineNumber, DeckCommand& command, String& error) {
  // Only a warning shows the line number: formatting it for every command
  // would cost more than parsing most of them.
  const auto number = [lineNumber] { return numberText(lineNumber); };
  const auto blank = line.find(' ');
  if (blank == String::npos) {
    appendWarning(error,
                  "Unable to parse ABRE command on line %1. Cannot find the space that delimits "
                  "the ABRE command from the '/name' parameter.",
                  number());
    return false;
  }
  command = DeckCommand();
  command.word = line.substr(0, blank);
  const auto bang = line.find('!');
  String remainder;
  if (bang == String::npos) {
    remainder = line.substr(blank + 1);
  } else if (bang > blank) {
    remainder = line.substr(blank + 1, bang - blank - 1);
  }
  remainder = trim(remainder);
  if (bang != String::npos) command.comment = trim(line.substr(bang + 1));

  const auto split = remainder.find(' ');
  if (split == String::npos) {
    appendWarning(error,
                  "Unable to parse %1 command on line %2. Cannot find the space that delimits "
                  "the '/name' parameter from the 'text' parameter.",
                  command.word, number());
    return false;
  }
  command.nameString = trim(remainder.substr(0, split));
  if (command.nameString.size() < 4) {
    appendWarning(error,
                  "Unable to parse " + command.word +
                      " command on line %1. The string that defines the '/name' parameter "
                      "should have at least 4 characters. Found %2 characters in %3.",
                  number(), numberText(static_cast<double>(command.nameString.size())),
                  command.nameString);
    return false;
  }
  command.delimiter = command.nameString[0];
  command.marker = command.nameString[1];
  command.name = command.nameString.substr(2, command.nameString.size() - 3);
  command.text = trim(remainder.substr(split + 1));
  if (command.text.size() >= 2) command.value = command.text.substr(1, command.text.size() - 2);

  if (command.name.find(command.delimiter) != String::npos ||
      command.name.find(command.marker) != String::npos) {
    appendWarning(error,
                  "%1 command on line %2 will be skipped, as composed names (\"%3\") are not "
                  "currently supported.",
                  command.word, number(), command.nameString);
    return false;
  }
  const String lowerName = toLower(command.name);
  double ignored = 0;
  if (!readsAsNumber(command.value, ignored) && !startsWith(lowerName, "bounds_") &&
      !startsWith(lowerName, "choices_")) {
    appendWarning(error,
                  "%1 command on line %2 will be skipped, as the value (\"%3\") is not numeric.",
                  command.word, number(), command.text);
    return false;
  }
  return true;
}

String formatDeckCommand(const DeckCommand& command, const String& value) {
  const String d(1, command.delimiter);
  String line = command.word + " " + d + String(1, command.marker) + command.name + d + " " + d +
                value + d;
  if (!command.comment.empty()) line += " ! " + command.comment;
  return line;
}

}  // namespace Portals
}  // namespace ORLIX
