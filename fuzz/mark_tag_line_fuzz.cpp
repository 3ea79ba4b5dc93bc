// One tag line of a Mark tag-definition file: the short way for lines without
// escapes must read exactly what the general reader reads, and the line written
// back for what was read must read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tagging/mark/mark_tag_file.h"

namespace {

bool sameTag(const ORLIX::Portals::TagData& a, const ORLIX::Portals::TagData& b) {
  if (a.paramName != b.paramName || a.paramType != b.paramType) return false;
  if (a.attributes.size() != b.attributes.size()) return false;
  for (std::size_t i = 0; i < a.attributes.size(); ++i) {
    if (a.attributes[i].key != b.attributes[i].key || a.attributes[i].value != b.attributes[i].value) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  ORLIX::Portals::TagData tag, general;
  const bool read = ORLIX::Portals::parseMarkTagLine(line, tag);
  if (read != ORLIX::Portals::parseEscapedMarkTagLine(line, general) || (read && !sameTag(tag, general))) {
    std::abort();
  }
  if (read) {
    ORLIX::Portals::TagData again;
    ORLIX::Portals::parseMarkTagLine(ORLIX::Portals::markTagLine(tag), again);
  }
  return 0;
}
