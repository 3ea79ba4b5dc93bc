// A file named like the portal's own XML tag-definition file, read as the host
// reads one back: the portal's reader first, then, when it is not one of
// those, every tagging engine in turn.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bench/bench_host.h"
#include "fuzz_support.h"
#include "xmlportal/xml_portal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::ScratchFolder& scratch = fuzz::scratch();
  const std::string path = scratch.write("P_in_a1_deck.dat", data, size);
  const ORLIX::StringStringMap props{{"analysisName", "a1"},
                                     {"destDir", scratch.path()},
                                     {"inputFilename", "deck.dat"},
                                     {"version", "7.2"}};
  bench::QuietHost host;
  xmlPortal portal(&host, "Brisol");
  ORLIX::Portals::TagList tags;
  ORLIX::StringStringMap outData;
  std::string message;
  portal.readInputTagData(path, props, tags, outData, message);
  fuzz::expectNoEscapedException(message);
  return 0;
}
