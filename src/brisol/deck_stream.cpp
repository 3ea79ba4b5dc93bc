#include "brisol/deck_stream.h"

#include <algorithm>
#include <cstring>

#include "brisol/deck_command.h"
#include "portal/line_starts.h"
#include "portal/text.h"

namespace ORLIX {
namespace Portals {
namespace {

// Called for every candidate line of the deck: only lines that can be one pay
// for a copy.
bool isClosingCommand(std::string_view line) {
  if (line.empty() || std::strchr(".rReE", line[0]) == nullptr) return false;
  const String command = toLower(trim(String(line)));
  return command == ".fin 1" || command == "return" || command == "return close" ||
         command == "exit";
}

// Only lines that can be a command or a closing command are looked at; the
// runs between them go on in bulk.
FirstBytes candidateFirstBytes(bool withClosingCommands) {
  FirstBytes candidates{};
  for (unsigned char c : String(withClosingCommands ? "aA \t.rReE" : "aA \t")) {
    candidates[c] = true;
  }
  return candidates;
}

// The line that starts at `at`, without its ending ("\n", "\r\n", or none
// for a last line).
std::string_view lineText(std::string_view lines, std::size_t at) {
  const std::size_t feed = lines.find('\n', at);
  const std::size_t end = feed == std::string_view::npos ? lines.size() : feed;
  std::string_view text = lines.substr(at, end - at);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return text;
}

}  // namespace

void streamDeck(ChunkedLineReader& deck, ChunkedWriter& out, const String& closingBlock,
                const CommandEdit& edit) {
  const FirstBytes candidates = candidateFirstBytes(!closingBlock.empty());
  std::string_view lines;
  int linesBefore = 0;
  while (deck.nextLines(lines)) {
    std::size_t copied = 0;  // the first byte of `lines` not yet passed on
    const auto passOnTo = [&](std::size_t end) {
      out.copyRange(deck.descriptor(), deck.offsetOf(lines.data() + copied),
                    lines.substr(copied, end - copied));
      copied = end;
    };
    const std::size_t count = forEachLineStart(lines, candidates, [&](std::size_t at,
                                                                     std::size_t index) {
      const std::string_view text = lineText(lines, at);
      const std::string_view command =
          text.substr(std::min(text.find_first_not_of(" \t"), text.size()));
      if (isAbbreviationLine(command)) {
        const std::optional<String> replacement =
            edit(command, linesBefore + static_cast<int>(index) + 1);
        if (!replacement) return;
        passOnTo(at);
        out.write(*replacement);
        copied = at + text.size();  // the line's ending goes on with the next run
      } else if (!closingBlock.empty() && isClosingCommand(command)) {
        passOnTo(at);
        out.write(closingBlock);
        out.write("\n");
      }
    });
    passOnTo(lines.size());
    linesBefore += static_cast<int>(count);
  }
}

}  // namespace Portals
}  // namespace ORLIX
