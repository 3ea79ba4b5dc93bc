// A file named like the portal's own XML tag-definition file, read as the host
// reads one back: the portal's reader first, then, when it is not one of
// those, every tagging engine in turn. The input is read as it is, then once
// more inside as many groups of a current tag file as its first byte asks;
// a folder under such a name is read too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bench/bench_host.h"
#include "fuzz_support.h"
#include "xml_nesting.h"
#include "xmlportal/xml_portal.h"

namespace {

int readTags(const std::string& path) {
  const fuzz::ScratchFolder& scratch = fuzz::scratch();
  const ORLIX::StringStringMap props{{"analysisName", "a1"},
                                     {"destDir", scratch.path()},
                                     {"inputFilename", "deck.dat"},
                                     {"version", "7.2"}};
  bench::QuietHost host;
  xmlPortal portal(&host, "Brisol");
  ORLIX::Portals::TagList tags;
  ORLIX::StringStringMap outData;
  std::string message;
  const int result = portal.readInputTagData(path, props, tags, outData, message);
  fuzz::expectNoEscapedException(message);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::ScratchFolder& scratch = fuzz::scratch();
  const std::string text(reinterpret_cast<const char*>(data), size);
  readTags(scratch.write("P_in_a1_deck.dat", text));
  const std::string groups = fuzz::nestInside(text, fuzz::nestingDepth(data, size),
                                              "<Key name=\"k\">", "</Key>");
  readTags(scratch.write("P_in_a1_deep.dat", "<Portal version=\"7.2\">" + groups + "</Portal>"));

  // A folder reads exactly as a tag file that is not there (the Mark engine
  // claims both as its own that it cannot open).
  const int missing = readTags(scratch.path() + "/P_in_a1_missing.dat");
  if (readTags(fuzz::scratchFolder("P_in_a1_folder.dat")) != missing) {
    fuzz::finding("a folder was read unlike a missing tag file");
  }
  return 0;
}
