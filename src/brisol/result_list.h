// The results module's list of available results ("$$RESULT_LIST_AVAILABLE"),
// turned into the catalogue the host shows: one item per result with its
// transformations, supports and their choice lists, and the "Portal Data" codes
// that response extraction sends back to the results module.
#ifndef ORLIX_BRISOL_RESULT_LIST_H
#define ORLIX_BRISOL_RESULT_LIST_H

#include <string_view>
#include <vector>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

struct ResultBlock {
  String header;      // the line that starts the block, e.g. ".SUPPORT_002"
  StringList lines;   // its data lines
};

struct ResultList {
  ResultBlock main;                  // the last ".MAIN" block
  std::vector<ResultBlock> blocks;   // definition blocks, in file order
  // The first definition block whose header begins with `reference`.
  const ResultBlock* find(const String& reference) const;
};

// Reads the list from `text`, the lines after its first; empty lines, "!"
// comments and ".INFO" blocks are skipped.
ResultList readResultList(std::string_view text);

// Builds the catalogue items of the main block; false with the reason appended
// to `error` as an ERROR.
bool buildResultItems(const ResultList& list, PortalItemList& items, String& error);

// The four double-quoted fields of a data line; false when the line has fewer.
bool resultFields(const String& line, String (&fields)[4]);

}  // namespace Portals
}  // namespace ORLIX

#endif
