// A whole script, as a user writes it into a script tag file, run against a
// small results file as an output script and against a small input file as an
// input script. Whatever it says, it must end without a sanitizer finding.
// Its messages are not searched for a swallowed exception: they quote the
// script's own lines, parameter lists across line feeds included, so any text
// at all can start a line of them. (Nor can a replaced input be told from the
// result: a script that ran may still quote the word that marks an error.)
#include <cstddef>
#include <cstdint>
#include <string>

#include "bench/bench_host.h"
#include "brisol/brisol_portal.h"
#include "fuzz_support.h"

namespace {

const char* const kResults =
    "RESULTS OF RUN 7\nstep 1 time 0.5\n  stress = 1.5e3 ; strain = 0.002\nNODE DISPLACEMENTS\n"
    "     1    0.0010    -0.0020\n     2    0.0015    -0.0025\nEND OF TABLE\n";
const char* const kInput = "* model\nthickness = 2.0\nwidth = 10 ; height = 20\nRETURN\n";

std::string tagFile(const std::string& code) {
  return "$ File type, version\nscripting, 7.2\n$ Tag definition file: f\nSCRIPTING\n"
         "$! Number of tags: 1\n$! Start tag script\n" + code + "\n$! End tag script\n\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string code(reinterpret_cast<const char*>(data), size);
  const fuzz::ScratchFolder& scratch = fuzz::scratch();
  bench::QuietHost host;
  host.service.values = {{"thickness", "2.5"}, {"width", "12\n14"}, {"n", "3"}};
  brisolPortal portal(&host);
  std::string message;

  const std::string results = scratch.write("results.txt", kResults);
  const std::string outTags = scratch.write("S_out_a1_results.txt", tagFile(code));
  portal.processOutputFiles({{"analysisName", "a1"}, {"outputFilepaths", results},
                             {"outputTagFilepaths", outTags}},
                            nullptr, message);

  message.clear();
  const std::string input = scratch.write("input.txt", kInput);
  const std::string inTags = scratch.write("S_in_a1_input.txt", tagFile(code));
  portal.updateInputFiles({{"analysisName", "a1"}, {"inputFilepaths", input},
                           {"inputTagFilepaths", inTags}},
                          nullptr, message);
  return 0;
}
