#include "tagging/script/script_cursor.h"

#include <algorithm>

namespace ORLIX {
namespace Portals {

String ScriptCursor::lineText(int row) const {
  if (!modifiedLines_.empty()) {
    const auto changed = modifiedLines_.find(row);
    if (changed != modifiedLines_.end()) return changed->second;
  }
  return reader_.getLine(row);
}

void ScriptCursor::gotoEnd() {
  // An empty file, or one of empty rows only, leaves the cursor on row 0.
  int row = lineCount() - 1;
  while (row > 0 && lineText(row).empty()) --row;
  moveTo(std::max(row, 0));
}

ScriptCursor::Search ScriptCursor::findText(const String& text, int instance) {
  Search search;
  const bool down = instance > 0;
  const long long wanted = down ? instance : -static_cast<long long>(instance);
  const int rows = lineCount();
  // An empty text occurs at every column; stepping at least one column keeps
  // the downward scan of a row finite.
  const std::size_t step = std::max<std::size_t>(text.size(), 1);
  // One text for the whole scan: the host hands rows out as copies, and the
  // scan keeps at most one of them alive at a time.
  String rowText;
  for (int row = this->row(); row >= 0 && row < rows; row += down ? 1 : -1) {
    rowText = lineText(row);
    if (down) {
      for (auto at = rowText.find(text); at != String::npos; at = rowText.find(text, at + step)) {
        if (++search.count == wanted) {
          search.found = true;
          search.column = at + text.size();
          moveTo(row);
          return search;
        }
      }
    } else {
      for (auto at = rowText.rfind(text); at != String::npos; at = rowText.rfind(text, at - 1)) {
        if (++search.count == wanted) {
          search.found = true;
          search.column = at + text.size();
          moveTo(row);
          return search;
        }
        if (at == 0) break;
      }
    }
  }
  return search;
}

}  // namespace Portals
}  // namespace ORLIX
