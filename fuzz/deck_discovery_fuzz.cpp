// A whole deck through the solver portal's parameter discovery, read from a
// file as the host hands it over.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bench/bench_host.h"
#include "brisol/brisol_portal.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string deck = fuzz::scratch().write("deck.dat", data, size);
  bench::QuietHost host;
  brisolPortal portal(&host);
  ORLIX::PortalItemList items;
  std::string error;
  portal.parseInputFile(deck, {}, items, error);
  fuzz::expectNoEscapedException(error);
  return 0;
}
