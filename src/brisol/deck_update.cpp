// The per-design deck update: every tagged abbreviation command of each Brisol
// deck gets the design's value. The deck is streamed into "<deck>.temp", which
// then replaces it, so at every moment one of the two holds a complete deck and
// a failed write leaves the original as it was.
#include <algorithm>

#include "brisol/brisol_portal.h"
#include "brisol/deck_command.h"
#include "portal/edge_guard.h"
#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/properties.h"
#include "portal/text.h"

using ORLIX::String;
using ORLIX::StringList;
using ORLIX::StringStringMap;
using ORLIX::Portals::TagData;
using ORLIX::Portals::TagList;
using ORLIX::Support::File;
using namespace ORLIX::Portals;

namespace {

// The visualisation commands to insert before the deck's closing commands,
// empty when insertion is off: the `visFileCmds:<n>` line's next n lines of
// the analysis' portal data, each with a line feed, plus one more.
String visualisationBlock(const StringList& lines) {
  if (!isTrue(settingLineValue(lines, "insertVisFileCmds"))) return String();
  String block;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const StringList pieces = splitAt(lines[i], ':');
    if (pieces.size() < 2 || pieces[0] != "visFileCmds") continue;
    const int count = truncateToInt(toNumber(pieces[1]));
    for (std::size_t k = i + 1; k < lines.size() && k <= i + static_cast<std::size_t>(std::max(count, 0)); ++k) {
      block += lines[k] + "\n";
    }
    break;
  }
  return block + "\n";
}

bool isClosingCommand(const String& line) {
  const String command = toLower(trim(line));
  return command == ".fin 1" || command == "return" || command == "return close" ||
         command == "exit";
}

const TagData* tagForAbbreviation(const TagList& tags, const String& name) {
  for (const TagData& tag : tags) {
    if (tag.path.size() >= 2 && tag.path[1] == name) return &tag;
  }
  return nullptr;
}

String logPathOf(const String& deckPath) {
  const auto separator = deckPath.find_last_of("/\\");
  const auto dot = deckPath.rfind('.');
  if (dot == String::npos || (separator != String::npos && dot < separator)) {
    return deckPath + ".log";
  }
  return deckPath.substr(0, dot + 1) + "log";
}

}  // namespace

bool brisolPortal::updateInputFiles(const StringStringMap& analysisProps,
                                    const ORLIX::HostValues* values, String& error) {
  return guarded(error, false, [&] {
    if (!updateEngineInputs(analysisProps, values, error)) return false;
    return updateDecks(analysisProps, error);
  });
}

// A line with blanks before its command word is still a command to the update:
// it is parsed without them, so the word is never empty.
bool brisolPortal::updateDecks(const StringStringMap& analysisProps, String& error) {
  const String block = visualisationBlock(portalDataLines(analysisProps["analysisName"]));
  const StringList files = splitList(analysisProps["inputFilepaths"]);
  StringList tagFiles = splitList(analysisProps["inputTagFilepaths"]);
  padList(tagFiles, files.size());
  keepPortalTagFiles(files, tagFiles, true);

  for (std::size_t i = 0; i < files.size(); ++i) {
    const String& deckPath = files[i];
    const String extension = File::extension(deckPath);
    if (tagFiles[i].empty() || (extension != "dat" && extension != "pelto")) continue;

    TagList tags;
    StringStringMap tagProps{{"inputFilename", File::base(deckPath, true)}};
    StringStringMap outData;
    String tagMessage;
    const int read = readInputTagData(tagFiles[i], tagProps, tags, outData, tagMessage);
    if (!tagMessage.empty()) appendLine(error, tagMessage);
    if (read != 0 || tags.empty()) continue;
    if (!service()) {
      appendError(error, "No host service to ask for the values of %1.", deckPath);
      return false;
    }
    StringList pending;
    for (const TagData& tag : tags) pending.push_back(tag.paramName);

    ORLIX::Support::FileReader deck(deckPath, false);
    if (!deck.is_open()) {
      appendError(error, "Error reading %1.", deckPath);
      return false;
    }
    const String tempPath = deckPath + ".temp";
    {
      ORLIX::Support::FileWriter temp(tempPath, false);
      if (!temp.is_open()) {
        appendError(error, "Could not write the updated deck to %1.", tempPath);
        return false;
      }
      String line;
      int lineNumber = 0;
      while (deck.getLine(line)) {
        ++lineNumber;
        const String stripped = line.substr(std::min(line.find_first_not_of(" \t"), line.size()));
        DeckCommand command;
        if (!isAbbreviationLine(stripped)) {
          if (!block.empty() && isClosingCommand(line)) temp << block << '\n';
          temp << line << '\n';
        } else if (!parseDeckCommand(stripped, lineNumber, command, error)) {
          temp << line << '\n';
        } else if (const TagData* tag = tagForAbbreviation(tags, command.name)) {
          const String value = service()->parameterValue(tag->paramType, tag->paramName,
                                                         deckPath, tag->get("format"), error);
          temp << formatDeckCommand(command, value) << '\n';
          auto done = std::find(pending.begin(), pending.end(), tag->paramName);
          if (done != pending.end()) pending.erase(done);
        } else {
          temp << line << '\n';
        }
      }
      temp.flush();
      if (!temp.good() || deck.bad()) {
        temp.close();
        File::remove(tempPath);
        appendError(error, "Could not write the updated deck to %1.", tempPath);
        return false;
      }
    }
    deck.close();
    if (!File::remove(deckPath)) {
      appendError(error,
                  "Could not delete %1. This is needed before the *.temp file, which includes "
                  "the changes for this design, can be renamed.",
                  deckPath);
    }
    if (!File::rename(tempPath, deckPath)) {
      appendError(error, "Could not rename %1 to %2", tempPath, deckPath);
    }
    if (!pending.empty()) {
      appendError(error,
                  "While updating parameter values in the input file:\n%1\ntags associated with "
                  "the following parameters were unable to be processed:\n\t%2\n Please check "
                  "the input file and ensure that there are no syntax errors in the associated "
                  "ABRE commands.",
                  deckPath, join(pending, ", "));
      return false;
    }
    notifyHost(formatMessage("Brisol execution messages can be found in the following file:\n%1",
                             logPathOf(deckPath)),
               analysisProps, 16);
  }
  return !hasError(error);
}
