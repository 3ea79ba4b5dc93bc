// One tag line of a Mark tag-definition file, and the line written back for
// what was read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tagging/mark/mark_tag_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  ORLIX::Portals::TagData tag;
  if (ORLIX::Portals::parseMarkTagLine(line, tag)) {
    ORLIX::Portals::TagData again;
    ORLIX::Portals::parseMarkTagLine(ORLIX::Portals::markTagLine(tag), again);
  }
  return 0;
}
