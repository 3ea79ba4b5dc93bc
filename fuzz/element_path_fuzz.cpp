// The XML engine's element paths: any text cut into segments and each segment
// parsed, with the bracket matching that keeps a sub-path in one segment.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tagging/xml/element_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const ORLIX::Portals::ElementPath path = ORLIX::Portals::splitPath(text);
  ORLIX::Portals::parsePath(path);
  ORLIX::Portals::splitPath(ORLIX::Portals::joinPath(path));
  for (std::size_t i = 0; i < text.size(); ++i) ORLIX::Portals::matchingCloser(text, i);
  return 0;
}
