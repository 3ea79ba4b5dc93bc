// An XML data file through the generic discovery of values (the solver portal
// replaces it with the deck discovery, so the XML layer is driven directly):
// the input as it is, the input nested as deep as its first byte asks, and a
// folder in the file's place, which must read exactly like a missing file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bench/bench_host.h"
#include "fuzz_support.h"
#include "xml_nesting.h"
#include "xmlportal/xml_portal.h"

namespace {

std::string discover(const std::string& path) {
  bench::QuietHost host;
  xmlPortal portal(&host, "Xml");
  ORLIX::PortalItemList items;
  std::string message;
  portal.parseInputFile(path, {}, items, message);
  fuzz::expectNoEscapedException(message);
  return message;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  discover(fuzz::scratch().write("data.xml", text));
  discover(fuzz::scratch().write(
      "deep.xml", fuzz::nestInside(text, fuzz::nestingDepth(data, size), "<d>", "</d>")));

  const std::string folder = fuzz::scratchFolder("folder.xml");
  const std::string message = discover(folder);
  if (message != "File was not found " + folder) {
    fuzz::finding("a folder did not read as a missing file: " + message);
  }
  return 0;
}
