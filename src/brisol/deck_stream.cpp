#include "brisol/deck_stream.h"

#include <algorithm>
#include <cstring>

#include "brisol/deck_command.h"
#include "portal/line_starts.h"
#include "portal/text.h"

namespace ORLIX {
namespace Portals {
namespace {

constexpr std::size_t kScanBytes = ChunkedWriter::kRunBytes;

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

// The whole lines of `window` from `at` on, about kScanBytes of them: the
// scan and the write of one such run share the processor's cache.
std::string_view wholeLines(std::string_view window, std::size_t at) {
  if (window.size() - at <= kScanBytes) return window.substr(at);
  const std::size_t feed = window.find('\n', at + kScanBytes);
  return window.substr(at, feed == std::string_view::npos ? window.npos : feed + 1 - at);
}

// Streams whole `lines` (the deck's lines after the first `linesBefore`) into
// `out`; answers how many lines there were.
int streamLines(std::string_view lines, int linesBefore, const FirstBytes& candidates,
                ChunkedWriter& out, const String& closingBlock, const CommandEdit& edit) {
  std::size_t passed = 0;  // the first byte of `lines` not yet passed on
  const auto passOnTo = [&](std::size_t end) {
    out.passOn(lines.substr(passed, end - passed));
    passed = end;
  };
  const std::size_t count =
      forEachLineStart(lines, candidates, [&](std::size_t at, std::size_t index) {
        const std::string_view text = lineText(lines, at);
        const std::string_view command =
            text.substr(std::min(text.find_first_not_of(" \t"), text.size()));
        if (isAbbreviationLine(command)) {
          const std::optional<String> replacement =
              edit(command, linesBefore + static_cast<int>(index) + 1);
          if (!replacement) return;
          passOnTo(at);
          out.write(*replacement);
          passed = at + text.size();  // the line's ending goes on with the next run
        } else if (!closingBlock.empty() && isClosingCommand(command)) {
          passOnTo(at);
          out.write(closingBlock);
          out.write("\n");
        }
      });
  passOnTo(lines.size());
  return static_cast<int>(count);
}

}  // namespace

void streamDeck(ChunkedLineReader& deck, ChunkedWriter& out, const String& closingBlock,
                const CommandEdit& edit) {
  const FirstBytes candidates = candidateFirstBytes(!closingBlock.empty());
  std::string_view window;
  int linesBefore = 0;
  while (deck.nextLines(window)) {
    for (std::size_t at = 0; at < window.size();) {
      const std::string_view lines = wholeLines(window, at);
      linesBefore += streamLines(lines, linesBefore, candidates, out, closingBlock, edit);
      at += lines.size();
    }
    out.flush();  // the window's bytes are gone at the next nextLines()
  }
}

}  // namespace Portals
}  // namespace ORLIX
