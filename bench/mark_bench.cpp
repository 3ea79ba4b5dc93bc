// Mark engine on large files: a deterministic generator of a text file with
// free-mode tags spread evenly over it, and the engine's two per-design
// operations, each run in a process of its own so that its time and peak
// memory stand alone (mark_bench.sh puts the figures together).
//   mark_bench generate FILE MEGABYTES TAGS DIRECTION   (DIRECTION in or out;
//                                     writes FILE and its M_in_/M_out_ tag file)
//   mark_bench mark FILE         (writes a value into every tagged field)
//   mark_bench extract FILE      (reads every tagged field as a Numeric response)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench_host.h"
#include "tagging/mark/mark_tagging.h"

namespace {

using ORLIX::String;
using ORLIX::Support::File;

String tagFileOf(const String& file, bool isInput) {
  return bench::tagFileBeside(file, isInput ? "M_in_" : "M_out_");
}

// Lines of 70 bytes, blank-separated; the tagged lines are every
// `every`-th, and the tag names their third field (which mark_bench.sh's awk
// baseline prints as $3 of the same lines).
int generate(const String& file, long megabytes, int tags, bool isInput) {
  std::ofstream out(file, std::ios::binary);
  std::ofstream tagFile(tagFileOf(file, isInput), std::ios::binary);
  const long target = megabytes * 1024 * 1024;
  const long lines = target / 70;
  const long every = lines / (tags + 1);
  bench::Sequence sequence;
  char line[160];
  tagFile << "$ File type, version\nmarking, 1\n$ Tag definition file: " << File::base(file, true)
          << "\n$ Tag type, Num tags\nMARKING, " << tags
          << "\n$\n\\s\n$\n10\n$ Mode, Row, Delims, Col, Param type, Param name, Print Fmt\n";
  int written = 0;
  for (long i = 1; i <= lines; ++i) {
    const double x = sequence.next();
    std::snprintf(line, sizeof line, "ELEM %10ld %14.6f %14.6f %14.6f %8.4f\n", i, x * 1000,
                  x * 37.5, x * -2.25, x);
    out << line;
    if (written < tags && i % every == 0) {
      ++written;
      tagFile << "free, " << i << ",\\s, 3, Continuous, p" << written << ", %g\n";
    }
  }
  std::printf("generated %s with %d tags, every %ld lines\n", file.c_str(), written, every);
  return 0;
}

int run(const String& what, const String& file) {
  bench::QuietHost host;
  host.service.responseDataType = "Numeric";
  ORLIX::Portals::MarkTagging engine(&host);
  const bool isInput = what == "mark";
  const String tagFile = tagFileOf(file, isInput);
  const bench::Stopwatch stopwatch;
  String message;
  const bool ok =
      isInput ? engine.processInputTags(
                    {{"inputFilepaths", file}, {"inputTagFilepaths", tagFile}}, nullptr, message)
              : engine.processOutputTags(
                    {{"outputFilepaths", file}, {"outputTagFilepaths", tagFile}}, nullptr,
                    message);
  return bench::reportOperation(what, ok, stopwatch.seconds(), "reported",
                                host.service.reportedValues, message);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 6 && String(argv[1]) == "generate") {
    return generate(argv[2], std::atol(argv[3]), std::atoi(argv[4]), String(argv[5]) == "in");
  }
  if (argc == 3 && (String(argv[1]) == "mark" || String(argv[1]) == "extract")) {
    return run(argv[1], argv[2]);
  }
  std::fprintf(stderr,
               "usage: mark_bench generate FILE MEGABYTES TAGS in|out | mark FILE | extract FILE\n");
  return 2;
}
