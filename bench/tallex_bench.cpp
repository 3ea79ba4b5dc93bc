// Response extraction and the result catalogue on large answers, with the
// results module's run simulated (its answers are generated beforehand), so
// that the portal's own reading is what is measured.
//   tallex_bench answers DIR VALUES   writes DIR/tallexResults.out: one block
//   tallex_bench extract DIR          reads that block's values through the portal
//   tallex_bench list DIR RESULTS     writes DIR/model.sdb.tallex.out
//   tallex_bench catalogue DIR        builds the catalogue from that list
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench_host.h"
#include "brisol/brisol_portal.h"

namespace {

using ORLIX::String;

void touch(const String& path) { std::ofstream(path, std::ios::app); }

int writeAnswers(const String& dir, long values) {
  std::ofstream out(dir + "/tallexResults.out", std::ios::binary);
  out << "$$QUIET_GET_VALUE \"DISP\" \"UZ\" \"NODES\" \" \" \"Time 1\"\n1\n"
         "Nodal displacements: Translation Z at All nodes, Time 1\n"
      << values << "\n'Node'\n";
  for (long i = 1; i <= values; ++i) out << i << '\n';
  char line[32];
  for (long i = 1; i <= values; ++i) {
    std::snprintf(line, sizeof line, "%.9g\n", -1e-6 * static_cast<double>(i % 9973));
    out << line;
  }
  touch(dir + "/model.sdb");
  std::printf("%ld %ld\n", 6 + values, 5 + 2 * values);  // the value lines, for awk
  return 0;
}

int writeList(const String& dir, int results) {
  std::ofstream out(dir + "/model.sdb.tallex.out", std::ios::binary);
  out << "$$RESULT_LIST_AVAILABLE\n.MAIN\n";
  for (int i = 0; i < results; ++i) {
    out << "\"R" << i << "\" \"Result " << i << "\" \".TOSCALAR_001\" \".SUPPORT_001\"\n";
  }
  out << ".TOSCALAR_001\n\"X\" \"Component X\" \"\" \"\"\n\"MAG\" \"Magnitude\" \"\" \"\"\n"
         ".SUPPORT_001\n\"Node %d\" \"Node\" \"\" \".REFERENCES_001\"\n"
         "\"NODES\" \"All nodes\" \"\" \".REFERENCES_001\"\n"
         ".REFERENCES_001\n\"Time %g\" \"Time %g\" \"\" \"\"\n\"Time 1\" \"Time 1\" \"\" \"\"\n";
  touch(dir + "/model.sdb");
  return 0;
}

int run(const String& what, const String& dir) {
  bench::QuietHost host;
  host.service.setProperty("bench", "analysisPortalData",
                           ORLIX::StringStringMap{{"Lines", "modules: static"}});
  brisolPortal portal(&host);
  const ORLIX::StringStringMap props{{"analysisName", "bench"}, {"destDir", dir}};
  String message;
  const bench::Stopwatch stopwatch;
  if (what == "extract") {
    ORLIX::Portals::TagList tags(1);
    ORLIX::Portals::TagData& tag = tags.front();
    tag.paramName = "field";
    for (const auto& [key, value] :
         {std::pair<const char*, const char*>{"nature", "DISP"}, {"transformation", "UZ"},
          {"location", "NODES"}}) {
      tag.add(key, value);
    }
    const bool ok = portal.extractResponses(dir + "/model.sdb", props, tags, message);
    std::printf("extract ok=%d seconds=%.3f values=%zu\n", ok ? 1 : 0, stopwatch.seconds(),
                host.service.reportedValues);
    return ok ? 0 : 1;
  }
  ORLIX::PortalItemList items;
  const bool ok = portal.parseOutputFile(dir + "/model.sdb", props, items, message);
  const double seconds = stopwatch.seconds();
  std::printf("catalogue ok=%d seconds=%.3f results=%zu microseconds_per_result=%.2f\n", ok ? 1 : 0,
              seconds, items.size(), items.empty() ? 0.0 : 1e6 * seconds / items.size());
  if (!ok) std::fprintf(stderr, "%s\n", message.c_str());
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const String what = argc > 1 ? argv[1] : "";
  if (argc == 4 && what == "answers") return writeAnswers(argv[2], std::atol(argv[3]));
  if (argc == 4 && what == "list") return writeList(argv[2], std::atoi(argv[3]));
  if (argc == 3 && (what == "extract" || what == "catalogue")) return run(what, argv[2]);
  std::fprintf(stderr,
               "usage: tallex_bench answers DIR VALUES | extract DIR | list DIR RESULTS | "
               "catalogue DIR\n");
  return 2;
}
