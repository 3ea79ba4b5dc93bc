// Deck discovery and update on large decks: a deterministic deck generator and
// the two portal operations, each run in a process of its own so that its peak
// memory can be read on its own (deck_bench.sh puts the figures together).
//   deck_bench generate DECK MEGABYTES TAGS   (writes DECK and its P_in_ tag file)
//   deck_bench discover DECK
//   deck_bench update DECK
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench_host.h"
#include "brisol/brisol_portal.h"

namespace {

using ORLIX::String;

String tagFileOf(const String& deck) { return bench::tagFileBeside(deck, "P_in_"); }

int generate(const String& deck, long megabytes, int tags) {
  std::ofstream out(deck, std::ios::binary);
  std::ofstream tagFile(tagFileOf(deck), std::ios::binary);
  const long target = megabytes * 1024 * 1024;
  // Mesh lines of about 48 bytes; the tagged commands are spread evenly.
  const long meshLines = target / 48;
  const long every = meshLines / (tags + 1);
  bench::Sequence sequence;
  char line[128];
  int written = 0;
  tagFile << "<?xml version=\"1.0\"?>\n<Portal name=\"Brisol\" version=\"7.2\">\n<Key name=\"ABRE\">\n";
  out << "* generated benchmark deck\n";
  for (long i = 1; i <= meshLines; ++i) {
    const double x = sequence.next();
    std::snprintf(line, sizeof line, "GRID %10ld %12.6f %12.6f %5.2f\n", i, x * 1000, x * 37.5,
                  x);
    out << line;
    if (written < tags && i % every == 0) {
      ++written;
      out << "ABRE /xP" << written << "/ /" << written << ".5/ ! parameter " << written << "\n";
      tagFile << "<tag name=\"P" << written << "\" paramName=\"p" << written << "\"/>\n";
    }
  }
  out << "RETURN\n";
  tagFile << "</Key>\n</Portal>\n";
  std::printf("generated %s with %d tagged abbreviations\n", deck.c_str(), written);
  return 0;
}

int run(const String& what, const String& deck) {
  bench::QuietHost host;
  host.service.setProperty("bench", "analysisPortalData",
                           ORLIX::StringStringMap{{"Lines", "primaryInput: " + deck}});
  brisolPortal portal(&host);
  const bench::Stopwatch stopwatch;
  String message;
  bool ok = false;
  std::size_t found = 0;
  if (what == "discover") {
    ORLIX::PortalItemList items;
    ok = portal.parseInputFile(deck, {}, items, message);
    for (const auto& group : items) found += group.children.size();
  } else {
    ok = portal.updateInputFiles({{"analysisName", "bench"},
                                  {"inputFilepaths", deck},
                                  {"inputTagFilepaths", tagFileOf(deck)}},
                                 nullptr, message);
  }
  return bench::reportOperation(what, ok, stopwatch.seconds(), "parameters", found, message);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && String(argv[1]) == "generate") {
    return generate(argv[2], std::atol(argv[3]), std::atoi(argv[4]));
  }
  if (argc == 3 && (String(argv[1]) == "discover" || String(argv[1]) == "update")) {
    return run(argv[1], argv[2]);
  }
  std::fprintf(stderr, "usage: deck_bench generate DECK MEGABYTES TAGS | discover DECK | update DECK\n");
  return 2;
}
