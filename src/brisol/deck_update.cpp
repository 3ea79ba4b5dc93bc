// The per-design deck update: every tagged abbreviation command of each Brisol
// deck gets the design's value. The deck is streamed into "<deck>.temp", which
// then replaces it, so at every moment one of the two holds a complete deck and
// a failed write leaves the original as it was.
#include <algorithm>

#include "brisol/brisol_portal.h"
#include "brisol/deck_command.h"
#include "brisol/deck_stream.h"
#include "brisol/deck_tag_index.h"
#include "portal/chunked_lines.h"
#include "portal/edge_guard.h"
#include "portal/file_replacement.h"
#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/properties.h"
#include "portal/text.h"

using ORLIX::MessageLevel;
using ORLIX::String;
using ORLIX::StringList;
using ORLIX::StringStringMap;
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
    const std::size_t count =
        static_cast<std::size_t>(std::max(truncateToInt(toNumber(pieces[1])), 0));
    for (std::size_t k = i + 1; k < lines.size() && k <= i + count; ++k) block += lines[k] + "\n";
    break;
  }
  return block + "\n";
}

// Decks are told by their exact extension: "DAT" is not one.
bool isDeck(const String& path) {
  const String extension = File::extension(path);
  return extension == "dat" || extension == "pelto";
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

bool brisolPortal::updateDecks(const StringStringMap& analysisProps, String& error) {
  const String block = visualisationBlock(portalDataLines(analysisProps["analysisName"]));
  const StringList files = splitList(analysisProps["inputFilepaths"]);
  StringList tagFiles = splitList(analysisProps["inputTagFilepaths"]);
  padList(tagFiles, files.size());
  keepPortalTagFiles(files, tagFiles, true);

  for (std::size_t i = 0; i < files.size(); ++i) {
    if (tagFiles[i].empty() || !isDeck(files[i])) continue;
    if (!updateDeck(files[i], tagFiles[i], block, analysisProps, error)) return false;
  }
  return !hasError(error);
}

bool brisolPortal::updateDeck(const String& deckPath, const String& tagFile,
                              const String& closingBlock, const StringStringMap& analysisProps,
                              String& error) {
  const TagList tags = deckTags(tagFile, deckPath, error);
  if (tags.empty()) return true;
  if (!service()) {
    appendError(error, lookupMessage(".err.noPortalService"), deckPath);
    return false;
  }
  DeckTagIndex index(tags);
  const String tempPath = deckPath + ".temp";
  if (!writeUpdatedDeck(deckPath, tempPath, closingBlock, index, error)) return false;
  replaceDeck(tempPath, deckPath, error);
  const StringList pending = index.pending();
  if (!pending.empty()) {
    appendError(error, lookupMessage(".err.pendingDeckTags"), deckPath, join(pending, ", "));
    return false;
  }
  notifyHost(formatMessage(lookupMessage(".msg.solverLogFile"), logPathOf(deckPath)),
             analysisProps, MessageLevel::Output);
  return true;
}

// Empty when the tag file gives no tags; what reading it said goes into `error`
// either way.
TagList brisolPortal::deckTags(const String& tagFile, const String& deckPath, String& error) {
  TagList tags;
  const StringStringMap tagProps{{"inputFilename", File::base(deckPath, true)}};
  StringStringMap outData;
  String tagMessage;
  const int read = readInputTagData(tagFile, tagProps, tags, outData, tagMessage);
  if (!tagMessage.empty()) appendLine(error, tagMessage);
  if (read != 0) tags.clear();
  return tags;
}

bool brisolPortal::writeUpdatedDeck(const String& deckPath, const String& tempPath,
                                    const String& closingBlock, DeckTagIndex& tags,
                                    String& error) {
  ChunkedLineReader deck(deckPath);
  if (!deck.isOpen()) {
    appendError(error, lookupMessage(".err.readDeck"), deckPath);
    return false;
  }
  ChunkedWriter temp(tempPath);
  if (!temp.isOpen()) {
    appendError(error, lookupMessage(".err.writeTempDeck"), tempPath);
    return false;
  }
  streamDeck(deck, temp, closingBlock, [&](std::string_view command, int lineNumber) {
    return updatedCommand(command, lineNumber, tags, deckPath, error);
  });
  const bool readFailed = deck.failed();
  deck.close();
  const bool written = temp.close();
  if (written && !readFailed) return true;
  File::remove(tempPath);
  // A deck cut short or unreadable part way through is the deck's fault, not
  // the temporary file's.
  if (readFailed) appendError(error, lookupMessage(".err.readDeck"), deckPath);
  else appendError(error, lookupMessage(".err.writeTempDeck"), tempPath);
  return false;
}

// A refused rename puts the deck back as it was; the design's deck waits in
// the .temp file. A deck that is already gone needs no delete: the rename
// alone puts the design's deck in its place.
void brisolPortal::replaceDeck(const String& tempPath, const String& deckPath,
                               String& error) const {
  const FileReplacement replaced = replaceByTemp(tempPath, deckPath);
  if (replaced.deleteFailed) appendError(error, lookupMessage(".err.deleteDeck"), deckPath);
  if (!replaced.renamed) {
    appendError(error, lookupMessage(".err.renameTempDeck"), tempPath, deckPath);
  }
}

// The line that replaces an abbreviation command when a tag names it. A
// command written with blanks before its word is parsed, and rewritten,
// without them.
std::optional<String> brisolPortal::updatedCommand(std::string_view command, int lineNumber,
                                                   DeckTagIndex& tags, const String& deckPath,
                                                   String& error) {
  DeckCommand parsed;
  if (!parseDeckCommand(String(command), lineNumber, parsed, error)) return std::nullopt;
  const TagData* tag = tags.find(parsed.name);
  if (!tag) return std::nullopt;
  const String value = service()->parameterValue(tag->paramType, tag->paramName, deckPath,
                                                 tag->get("format"), error);
  tags.written(tag);
  return formatDeckCommand(parsed, value);
}
