// XML engine on a large document: a deterministic generator of an analysis
// file with tagged values spread over it, the engine's two per-design
// operations, and the bare parser doing the same file work, each in a process
// of its own so that its time stands alone (xml_bench.sh puts the figures
// together).
//   xml_bench generate FILE MEGABYTES TAGS  (writes FILE, its X_in_/X_out_ tag
//                                     files, and FILE.xmlstarlet: the same
//                                     updates as arguments of `xmlstarlet ed`)
//   xml_bench update FILE   (writes a value at every input tag, saves FILE)
//   xml_bench floor FILE    (parses FILE as the update does, saves it unchanged)
//   xml_bench read FILE     (reads every output tag as a Numeric response)
//   xml_bench load FILE     (parses FILE as reading does)
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <pugixml.hpp>

#include "bench_host.h"
#include "tagging/xml/xml_tagging.h"

namespace {

using ORLIX::String;
using ORLIX::Support::File;

String tagFileOf(const String& file, bool isInput) {
  return bench::tagFileBeside(file, isInput ? "X_in_" : "X_out_");
}

const long kLoads = 20000;
const long kParameters = 20000;

// A model of nodes (the bulk of the file), loads and named parameters, laid
// out as the engine saves it, so every run of the update rewrites the same
// bytes. The tags mix the path forms users write: nodes by position
// (node[K] [@x]) and by id (node[@id=nK] [@y]), loads by the text of a child
// (load[./case[#text=cK]] magnitude[#text]), parameters by name
// (parameter[@name=pK] [#text]); each form's targets are spread evenly.
int generate(const String& file, long megabytes, int tags) {
  const long target = megabytes * 1024 * 1024;
  const long nodes = (target - kLoads * 110 - kParameters * 56) / 74;
  std::ofstream out(file, std::ios::binary);
  std::ofstream starlet(file + ".xmlstarlet", std::ios::binary);
  String tagLines;
  char line[256];
  const auto tag = [&](const String& name, const String& xpath, const String& xid,
                       const String& starletPath) {
    tagLines += "  <tag mode=\"xml\" paramName=\"" + name +
                "\" paramType=\"Continuous\" format=\"%g\" xpath=\"" + xpath + "\" xid=\"" +
                xid + "\" />\n";
    starlet << "-u\n" << starletPath << "\n-v\n" << "111.111111\n";
  };
  const int byIndex = tags * 3 / 10;
  const int byId = tags * 3 / 10;
  const int byCase = tags / 5;
  const int byName = tags - byIndex - byId - byCase;
  for (int i = 0; i < byIndex; ++i) {
    const long k = nodes * (2 * i + 1) / (2 * byIndex);
    tag("x" + std::to_string(i), "model/nodes/node[" + std::to_string(k) + "]", "[@x]",
        "/model/nodes/node[" + std::to_string(k + 1) + "]/@x");
  }
  for (int i = 0; i < byId; ++i) {
    const String id = "n" + std::to_string(nodes * (2 * i + 1) / (2 * byId) + 2);
    tag("y" + std::to_string(i), "model/nodes/node[@id=" + id + "]", "[@y]",
        "/model/nodes/node[@id='" + id + "']/@y");
  }
  for (int i = 0; i < byCase; ++i) {
    const String loadCase = "c" + std::to_string(kLoads * (2 * i + 1) / (2 * byCase) + 1);
    tag("f" + std::to_string(i), "model/loads/load[./case[#text=" + loadCase + "]]",
        "magnitude[#text]", "/model/loads/load[case='" + loadCase + "']/magnitude");
  }
  for (int i = 0; i < byName; ++i) {
    const String name = "p" + std::to_string(kParameters * (2 * i + 1) / (2 * byName) + 1);
    tag("t" + std::to_string(i), "model/parameters/parameter[@name=" + name + "]", "[#text]",
        "/model/parameters/parameter[@name='" + name + "']");
  }

  bench::Sequence sequence;
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<model name=\"bench\">\n  <nodes>\n";
  for (long i = 1; i <= nodes; ++i) {
    std::snprintf(line, sizeof line,
                  "    <node id=\"n%ld\" x=\"%10.6f\" y=\"%10.6f\" z=\"%10.6f\" />\n", i,
                  sequence.next() * 900, sequence.next() * 900, sequence.next() * 900);
    out << line;
  }
  out << "  </nodes>\n  <loads>\n";
  for (long i = 1; i <= kLoads; ++i) {
    std::snprintf(line, sizeof line,
                  "    <load id=\"L%ld\">\n      <case>c%ld</case>\n"
                  "      <magnitude>%10.6f</magnitude>\n    </load>\n",
                  i, i, sequence.next() * 900);
    out << line;
  }
  out << "  </loads>\n  <parameters>\n";
  for (long i = 1; i <= kParameters; ++i) {
    std::snprintf(line, sizeof line,
                  "    <parameter name=\"p%ld\" unit=\"mm\">%10.6f</parameter>\n", i,
                  sequence.next() * 900);
    out << line;
  }
  out << "  </parameters>\n</model>\n";

  for (const bool isInput : {true, false}) {
    std::ofstream tagFile(tagFileOf(file, isInput), std::ios::binary);
    tagFile << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TagDefinition version=\"1\" "
               "filename=\""
            << File::base(file, true) << "\">\n"
            << tagLines << "</TagDefinition>\n";
  }
  std::printf("generated %s: %ld nodes, %ld loads, %ld parameters, %d tags\n", file.c_str(),
              nodes, kLoads, kParameters, tags);
  return 0;
}

// The parser's share of the engine's work, nothing else: the floor. The file
// is saved over itself, unchanged.
bool parserOnly(const String& what, const String& file) {
  pugi::xml_document document;
  if (what == "load") return document.load_file(file.c_str(), pugi::parse_default);
  return document.load_file(file.c_str(), pugi::parse_full) &&
         document.save_file(file.c_str(), "  ", pugi::format_indent);
}

bool engineRun(const String& what, const String& file, std::size_t& reported, String& message) {
  bench::QuietHost host;
  host.service.responseDataType = "Numeric";
  // Every value keeps the width of the values generated, so the file's size
  // does not drift between runs.
  host.service.otherValues = "111.111111";
  ORLIX::Portals::XmlTagging engine(&host);
  const bool isInput = what == "update";
  const bool ok =
      isInput ? engine.processInputTags({{"inputFilepaths", file},
                                         {"inputTagFilepaths", tagFileOf(file, true)}},
                                        nullptr, message)
              : engine.processOutputTags({{"analysisName", "bench"},
                                          {"outputFilepaths", file},
                                          {"outputTagFilepaths", tagFileOf(file, false)}},
                                         nullptr, message);
  reported = host.service.reportedValues;
  return ok;
}

int run(const String& what, const String& file) {
  const bench::Stopwatch stopwatch;
  String message;
  std::size_t reported = 0;
  const bool ok = (what == "floor" || what == "load") ? parserOnly(what, file)
                                                      : engineRun(what, file, reported, message);
  return bench::reportOperation(what, ok, stopwatch.seconds(), "reported", reported, message);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && String(argv[1]) == "generate") {
    return generate(argv[2], std::atol(argv[3]), std::atoi(argv[4]));
  }
  const String what = argc == 3 ? argv[1] : "";
  if (what == "update" || what == "floor" || what == "read" || what == "load") {
    return run(what, argv[2]);
  }
  std::fprintf(stderr,
               "usage: xml_bench generate FILE MEGABYTES TAGS | update FILE | floor FILE | "
               "read FILE | load FILE\n");
  return 2;
}
