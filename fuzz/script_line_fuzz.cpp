// One script line: keyword recognition in both modes, the argument list with
// its escaped commas, number arguments, and messages bound to the arguments.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tagging/script/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  ORLIX::Portals::recognizeCommand(line, true);
  ORLIX::Portals::recognizeCommand(line, false);
  ORLIX::StringList args;
  std::string errorId;
  if (ORLIX::Portals::splitArguments(line, args, errorId)) {
    for (const std::string& argument : args) ORLIX::Portals::roundArgument(argument);
    ORLIX::Portals::bindArguments(line, args);
  }
  return 0;
}
