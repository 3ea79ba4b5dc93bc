// A tool-message configuration file, asked for the messages of a few tool and
// category pairs. Its variables point at the scratch folder, which holds a
// small solver log and results-module answers for the rules to match.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "portal/host/support.h"
#include "support/host_api.h"

namespace {

const ORLIX::StringStringMap& variables() {
  static const ORLIX::StringStringMap map = [] {
    const fuzz::ScratchFolder& scratch = fuzz::scratch();
    scratch.write("deck.log",
                  " *** run 1\n%%%W mesh quality low\r\nstep 1 done\n%%%E singular matrix\n");
    scratch.write("a.tallex.out", "$$QUIET_GET_VALUE \"DISP\"\n%%% no such node\n1.5\n");
    scratch.write("b.tallex.out", "%%%E cannot open results\n");
    ORLIX::Support::ToolMessagesAdmin::setConfigFile(scratch.file("messages.conf"));
    return ORLIX::StringStringMap{{"destDir", scratch.path()},
                                  {"parseDir", scratch.path()},
                                  {"primaryInputFile", scratch.file("deck.dat")},
                                  {"primaryInputFilename", "deck"},
                                  {"primaryOutputFile", scratch.file("deck.sdb")},
                                  {"primaryOutputFilename", "deck"}};
  }();
  return map;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ORLIX::StringStringMap& vars = variables();
  fuzz::scratch().write("messages.conf", data, size);
  static const char* const kAsked[][2] = {
      {"Brisol", "analysis_execution"}, {"Brisol", "parse_output"}, {"Solver", "run"}};
  for (const auto& asked : kAsked) {
    std::string error;
    ORLIX::Support::FileParser::getToolMessagesUsingConfigFile(asked[0], asked[1], vars, error);
  }
  return 0;
}
