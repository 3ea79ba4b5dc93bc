// One line of a deck through the abbreviation command parser. A line that
// parses is also written back with a new value, as the update writes it, and
// must parse again to the same command: the next design's update finds its
// parameter only on that line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "brisol/deck_command.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using ORLIX::Portals::DeckCommand;
  const std::string line(reinterpret_cast<const char*>(data), size);
  ORLIX::Portals::isAbbreviationLine(line);
  DeckCommand command;
  std::string error;
  if (!ORLIX::Portals::parseDeckCommand(line, 7, command, error)) return 0;

  const std::string written = ORLIX::Portals::formatDeckCommand(command, "2.5");
  DeckCommand again;
  if (!ORLIX::Portals::parseDeckCommand(written, 7, again, error)) {
    fuzz::finding("the written line does not parse: [" + written + "] " + error);
  }
  if (again.word != command.word || again.name != command.name ||
      again.delimiter != command.delimiter || again.marker != command.marker ||
      again.comment != command.comment || again.value != "2.5") {
    fuzz::finding("the written line parses to another command: [" + written + "]");
  }
  return 0;
}
