// An XML data file through the generic discovery of values (the solver portal
// replaces it with the deck discovery, so the XML layer is driven directly).
#include <cstddef>
#include <cstdint>
#include <string>

#include "bench/bench_host.h"
#include "fuzz_support.h"
#include "xmlportal/xml_portal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::scratch().write("data.xml", data, size);
  bench::QuietHost host;
  xmlPortal portal(&host, "Xml");
  ORLIX::PortalItemList items;
  std::string message;
  portal.parseInputFile(path, {}, items, message);
  fuzz::expectNoEscapedException(message);
  return 0;
}
