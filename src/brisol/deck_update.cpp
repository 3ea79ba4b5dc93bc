// The per-design deck update: every tagged abbreviation command of each Brisol
// deck gets the design's value. The deck is streamed into "<deck>.temp", which
// then replaces it, so at every moment one of the two holds a complete deck and
// a failed write leaves the original as it was.
#include <algorithm>
#include <cstring>

#include "brisol/brisol_portal.h"
#include "brisol/deck_command.h"
#include "portal/chunked_lines.h"
#include "portal/edge_guard.h"
#include "portal/file_replacement.h"
#include "portal/host/support.h"
#include "portal/line_starts.h"
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
    const std::size_t count = static_cast<std::size_t>(std::max(truncateToInt(toNumber(pieces[1])), 0));
    for (std::size_t k = i + 1; k < lines.size() && k <= i + count; ++k) block += lines[k] + "\n";
    break;
  }
  return block + "\n";
}

// Called for every line of the deck: only lines that can be one pay for a copy.
bool isClosingCommand(std::string_view line) {
  if (line.empty() || std::strchr(".rReE", line[0]) == nullptr) return false;
  const String command = toLower(trim(String(line)));
  return command == ".fin 1" || command == "return" || command == "return close" ||
         command == "exit";
}

String logPathOf(const String& deckPath) {
  const auto separator = deckPath.find_last_of("/\\");
  const auto dot = deckPath.rfind('.');
  if (dot == String::npos || (separator != String::npos && dot < separator)) {
    return deckPath + ".log";
  }
  return deckPath.substr(0, dot + 1) + "log";
}

const TagData* tagForAbbreviation(const TagList& tags, const String& name) {
  for (const TagData& tag : tags) {
    if (tag.path.size() >= 2 && tag.path[1] == name) return &tag;
  }
  return nullptr;
}

}  // namespace

// The line to write for an abbreviation command: rewritten with the design's
// value when a tag names it, otherwise as it was.
String brisolPortal::updatedCommand(std::string_view line, std::string_view stripped,
                                    int lineNumber, const TagList& tags, const String& deckPath,
                                    StringList& pending, String& error) {
  DeckCommand command;
  if (!parseDeckCommand(String(stripped), lineNumber, command, error)) return String(line);
  const TagData* tag = tagForAbbreviation(tags, command.name);
  if (!tag) return String(line);
  const String value =
      service()->parameterValue(tag->paramType, tag->paramName, deckPath, tag->get("format"), error);
  auto done = std::find(pending.begin(), pending.end(), tag->paramName);
  if (done != pending.end()) pending.erase(done);
  return formatDeckCommand(command, value);
}

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

    ChunkedLineReader deck(deckPath);
    if (!deck.isOpen()) {
      appendError(error, "Error reading %1.", deckPath);
      return false;
    }
    const String tempPath = deckPath + ".temp";
    ChunkedWriter temp(tempPath);
    if (!temp.isOpen()) {
      appendError(error, "Could not write the updated deck to %1.", tempPath);
      return false;
    }
    // Only lines that can be a command or a closing command are looked at; the
    // runs between them go on in bulk.
    FirstBytes candidates{};
    for (unsigned char c : String(block.empty() ? "aA \t" : "aA \t.rReE")) candidates[c] = true;
    std::string_view lines;
    int linesBefore = 0;
    while (deck.nextLines(lines)) {
      std::size_t runStart = 0;
      const std::size_t count = forEachLineStart(lines, candidates, [&](std::size_t at,
                                                                       std::size_t index) {
        const std::size_t feed = lines.find('\n', at);
        const std::size_t end = feed == std::string_view::npos ? lines.size() : feed;
        const std::string_view line = lines.substr(at, end - at);
        const std::string_view stripped =
            line.substr(std::min(line.find_first_not_of(" \t"), line.size()));
        const bool command = isAbbreviationLine(stripped);
        const bool closing = !command && !block.empty() && isClosingCommand(stripped);
        if (!command && !closing) return;
        temp.copyRange(deck.descriptor(), deck.offsetOf(lines.data() + runStart),
                       lines.substr(runStart, at - runStart));
        runStart = feed == std::string_view::npos ? lines.size() : feed + 1;
        if (closing) {
          temp.writeLine(block);
          temp.writeLine(line);
        } else {
          const int lineNumber = linesBefore + static_cast<int>(index) + 1;
          temp.writeLine(updatedCommand(line, stripped, lineNumber, tags, deckPath, pending, error));
        }
      });
      temp.copyRange(deck.descriptor(), deck.offsetOf(lines.data() + runStart),
                     lines.substr(runStart));
      // Every written line ends with a line feed, the deck's last one too.
      if (runStart < lines.size() && lines.back() != '\n') temp.write("\n");
      linesBefore += static_cast<int>(count);
    }
    const bool readFailed = deck.failed();
    deck.close();
    if (!temp.close() || readFailed) {
      File::remove(tempPath);
      appendError(error, "Could not write the updated deck to %1.", tempPath);
      return false;
    }
    // A refused rename puts the deck back as it was; the design's deck waits
    // in the .temp file.
    const FileReplacement replaced = replaceByTemp(tempPath, deckPath);
    if (!replaced.originalFound || replaced.deleteFailed) {
      appendError(error,
                  "Could not delete %1. This is needed before the *.temp file, which includes "
                  "the changes for this design, can be renamed.",
                  deckPath);
    }
    if (!replaced.renamed) {
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
