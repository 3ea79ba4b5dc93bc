// What crosses from a worker to the parent and what a resumed study reads
// back: any bytes decode to a record or are refused, and any journal line
// reads to a record or is refused, without a crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "study/design_record.h"
#include "study/journal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  portalhost::DesignRecord record;
  if (portalhost::decodeRecord(bytes, record)) {
    portalhost::DesignRecord again;
    if (!portalhost::decodeRecord(portalhost::encodeRecord(record), again)) __builtin_trap();
  }
  try {
    const auto line = portalhost::recordFromJson(portalhost::Json::parse(bytes));
    if (line) portalhost::recordToJson(*line).dump(-1, ' ', false, portalhost::Json::error_handler_t::replace);
  } catch (const portalhost::Json::exception&) {
  }
  return 0;
}
