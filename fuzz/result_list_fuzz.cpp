// The results module's list of available results, read and turned into the
// catalogue the host shows.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "brisol/result_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::string first;  // "$$RESULT_LIST_AVAILABLE", checked by the caller
  std::getline(in, first);
  const ORLIX::Portals::ResultList list = ORLIX::Portals::readResultList(in);
  ORLIX::PortalItemList items;
  std::string error;
  ORLIX::Portals::buildResultItems(list, items, error);
  return 0;
}
