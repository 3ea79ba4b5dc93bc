// Script engine on a large results file: a deterministic generator of a file
// with a marker line near its end followed by a table, and an output script
// that finds the marker and reads one column of the table to its end, run in a
// process of its own so that its time and peak memory stand alone
// (script_bench.sh puts the figures together).
//   script_bench generate FILE MEGABYTES ROWS   (writes FILE and its S_out_ tag file)
//   script_bench extract FILE                   (runs the output script on FILE)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench_host.h"
#include "tagging/script/script_tagging.h"

namespace {

using ORLIX::String;
using ORLIX::Support::File;

String tagFileOf(const String& file) { return bench::tagFileBeside(file, "S_out_"); }

// Log lines of 100 bytes up to the marker, then ROWS table rows of 60 bytes
// whose third field is the column, then a line with a single field that ends
// it (script_bench.sh's awk baseline stops at the same line).
int generate(const String& file, long megabytes, long rows) {
  std::ofstream out(file, std::ios::binary);
  const long tableBytes = rows * 60;
  const long logLines = (megabytes * 1024 * 1024 - tableBytes) / 100;
  char line[160];
  bench::Sequence sequence;
  for (long i = 1; i <= logLines; ++i) {
    const unsigned long seed = sequence.nextState();
    std::snprintf(line, sizeof line, "iteration %10ld residual %14.6e norm %14.6e step %29ld\n", i,
                  static_cast<double>(seed >> 40) * 1e-9, static_cast<double>(seed >> 44), i % 977);
    out << line;
  }
  out << "NODAL RESULTS MARKER\n";
  for (long i = 1; i <= rows; ++i) {
    const double x = sequence.next();
    std::snprintf(line, sizeof line, "%11ld %15.6e %15.6e %15.6e\n", i, x * 1000, x * -3.5, x);
    out << line;
  }
  out << "END\n";
  std::ofstream tags(tagFileOf(file), std::ios::binary);
  tags << "$ File type, version\nscripting, 1\n$ Tag definition file: " << File::base(file, true)
       << "\nSCRIPTING\n$! Number of tags: 1\n$! Start tag script\n"
       << "SET_PARAMETER_LIST(uy)\nGOTO_STRING(MARKER, 1)\nMOVE_DOWN(1)\n"
       << "GET_COLUMN_FREE(3, EOC, \\s)\n$! End tag script\n\n";
  std::printf("generated %s: %ld log lines, marker, %ld table rows\n", file.c_str(), logLines,
              rows);
  return 0;
}

int extract(const String& file) {
  bench::QuietHost host;
  host.service.responseDataType = "Numeric";
  ORLIX::Portals::ScriptTagging engine(&host);
  const bench::Stopwatch stopwatch;
  String message;
  const bool ok = engine.processOutputTags({{"analysisName", "bench"},
                                            {"outputFilepaths", file},
                                            {"outputTagFilepaths", tagFileOf(file)}},
                                           nullptr, message);
  return bench::reportOperation("extract", ok, stopwatch.seconds(), "reported",
                                host.service.reportedValues, message);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && String(argv[1]) == "generate") {
    return generate(argv[2], std::atol(argv[3]), std::atol(argv[4]));
  }
  if (argc == 3 && String(argv[1]) == "extract") return extract(argv[2]);
  std::fprintf(stderr, "usage: script_bench generate FILE MEGABYTES ROWS | extract FILE\n");
  return 2;
}
