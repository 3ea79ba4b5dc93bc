// The file as a script sees it: the host's buffered reader, whose cursor is
// the script's current row, seen through the rows that SET commands changed.
#ifndef ORLIX_TAGGING_SCRIPT_SCRIPT_CURSOR_H
#define ORLIX_TAGGING_SCRIPT_SCRIPT_CURSOR_H

#include <cstddef>

#include "portal/host/support.h"
#include "tagging/script/script_state.h"

namespace ORLIX {
namespace Portals {

class ScriptCursor {
 public:
  ScriptCursor(Support::FileBufferedReader& reader, const ModifiedLines& modifiedLines)
      : reader_(reader), modifiedLines_(modifiedLines) {}

  int row() const { return reader_.currentRowNumber(); }
  int lineCount() const { return reader_.numLines(); }
  bool moveTo(int row) { return reader_.gotoLine(row); }

  // A row's text as the script sees it: as changed by a SET command, else as
  // stored in the file.
  String lineText(int row) const;
  String currentLineText() const { return lineText(row()); }

  // The last row whose text is not empty; row 0 when there is none.
  void gotoEnd();

  // Looks for the |instance|-th occurrence of `text`, downward from the start
  // of the current row for a positive instance, upward from its end for a
  // negative one. Downward occurrences do not overlap; upward ones may (each
  // next one starts at most one column before the previous). When found, the
  // cursor is on its row and `column` is just after the occurrence; otherwise
  // the cursor has not moved and `found` says how many there were.
  struct Search {
    bool found = false;
    long long count = 0;
    std::size_t column = 0;
  };
  Search findText(const String& text, int instance);

 private:
  Support::FileBufferedReader& reader_;
  const ModifiedLines& modifiedLines_;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
