// An XML input file through the XML engine's input flow, as for every design:
// three tags' values written and the file saved. The input is used as it is,
// once more nested as deep as its first byte asks, and a folder stands in for
// it once. A file the engine does not read must stay byte for byte as it was,
// one nested past the bound must never be read, a folder must read exactly
// like a missing file, and no ".temp" may be left behind.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "bench/bench_host.h"
#include "fuzz_support.h"
#include "portal/host/support.h"
#include "tagging/xml/xml_file.h"
#include "tagging/xml/xml_tagging.h"
#include "xml_nesting.h"

namespace {

const char* const kTagFile =
    "<?xml version=\"1.0\"?>\n<TagDefinition>\n"
    "<tag mode=\"xml\" paramName=\"a\" xpath=\"model/part[@id=2]/load\" xid=\"[@value]\"/>\n"
    "<tag mode=\"xml\" paramName=\"b\" xpath=\"/model/part[0]\" xid=\"label[#text]\"/>\n"
    "<tag mode=\"xml\" paramName=\"c\" xpath=\"model/part[./load]\" xid=\"[#text]\"/>\n"
    "</TagDefinition>\n";

std::string update(const std::string& inputPath) {
  static const std::string tagFile = fuzz::scratch().write("X_in_a1_model.xml", kTagFile);
  bench::QuietHost host;
  host.service.values = {{"a", "12.5"}, {"b", "b & <c>"}};
  ORLIX::Portals::XmlTagging engine(&host);
  std::string message;
  engine.processInputTags({{"inputFilepaths", inputPath}, {"inputTagFilepaths", tagFile}},
                          nullptr, message);
  fuzz::expectNoEscapedException(message);
  if (ORLIX::Support::File::exists(inputPath + ".temp")) {
    fuzz::finding("a .temp was left beside " + inputPath);
  }
  return message;
}

bool readFile(const std::string& path, std::string& content) {
  ORLIX::Support::FileReader reader(path, true);
  if (!reader.is_open()) return false;
  content.assign(std::istreambuf_iterator<char>(reader), std::istreambuf_iterator<char>());
  return true;
}

// Updates `text` saved as `name`; true when the file was not read.
bool updateFile(const std::string& name, const std::string& text) {
  const std::string path = fuzz::scratch().write(name, text);
  const std::string message = update(path);
  const bool refused =
      message.find("Cannot read the XML input file " + path + ".") != std::string::npos;
  std::string after;
  if (refused && (!readFile(path, after) || after != text)) {
    fuzz::finding("an input that was not read was changed: " + path);
  }
  return refused;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  updateFile("model.xml", text);
  const std::size_t depth = fuzz::nestingDepth(data, size);
  const bool refused =
      updateFile("deep.xml", fuzz::nestInside(text, depth, "<model>", "</model>"));
  if (depth > ORLIX::Portals::kMaxXmlDepth && !refused) {
    fuzz::finding("an input nested past the bound was read");
  }

  const std::string folder = fuzz::scratchFolder("folder.xml");
  const std::string message = update(folder);
  if (message != "ERROR: File was not found\nERROR: Cannot read the XML input file " + folder +
                     ".") {
    fuzz::finding("a folder did not read as a missing file: " + message);
  }
  return 0;
}
