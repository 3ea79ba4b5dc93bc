// The copy of a deck that the per-design update writes: every byte goes through
// as it was, except the abbreviation commands that get a new value and the
// visualisation block inserted before each closing command. Lines keep their
// own endings (a CRLF deck stays CRLF, a last line without a line feed stays
// without one), so a deck with nothing to change comes out byte for byte.
#ifndef ORLIX_BRISOL_DECK_STREAM_H
#define ORLIX_BRISOL_DECK_STREAM_H

#include <functional>
#include <optional>
#include <string_view>

#include "portal/chunked_lines.h"
#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

// Asked for every abbreviation command line: `command` is the line without
// its leading blanks and its ending, `lineNumber` counts from 1. Answers the
// text that replaces the line (its ending stays), or nothing to keep it.
using CommandEdit =
    std::function<std::optional<String>(std::string_view command, int lineNumber)>;

// Streams `deck` into `out`. `closingBlock`, when not empty, is written with
// one more line feed before every closing command (".fin 1", "return",
// "return close", "exit", in any case and with any blanks around them).
void streamDeck(ChunkedLineReader& deck, ChunkedWriter& out, const String& closingBlock,
                const CommandEdit& edit);

}  // namespace Portals
}  // namespace ORLIX

#endif
