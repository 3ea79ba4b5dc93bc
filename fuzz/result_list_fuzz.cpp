// The results module's list of available results, read and turned into the
// catalogue the host shows.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "brisol/result_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // The first line ("$$RESULT_LIST_AVAILABLE") is the caller's to check.
  const std::size_t firstEnd = text.find('\n');
  const ORLIX::Portals::ResultList list = ORLIX::Portals::readResultList(
      firstEnd == std::string_view::npos ? std::string_view() : text.substr(firstEnd + 1));
  ORLIX::PortalItemList items;
  std::string error;
  ORLIX::Portals::buildResultItems(list, items, error);
  return 0;
}
