// Where the values that GET commands extract go: one value for the current
// response, or a column of them.
#ifndef ORLIX_TAGGING_SCRIPT_SCRIPT_VALUES_H
#define ORLIX_TAGGING_SCRIPT_SCRIPT_VALUES_H

#include <cstddef>
#include <vector>

#include "tagging/script/command_line.h"
#include "tagging/script/script_state.h"

namespace ORLIX {
namespace Portals {

// One extracted value (recordValue): a numeric response must get a number.
// `extractionMessage` is what the extraction said on the way (a warning).
bool recordValue(CommandCall& call, const ScriptParameter& response, const String& text,
                 const String& extractionMessage, ScriptResults& results);

// The values of one GET_COLUMN command. Items are checked only at the end
// (finishColumn), so that a column is all or nothing.
class ColumnValues {
 public:
  ColumnValues(const ScriptParameter& response, ScriptResults& results);

  // Records one item. What its extraction said is passed on for the first
  // five items that said anything; then a single warning stands for the rest.
  void add(const String& text, const String& extractionMessage, String& messages);
  std::size_t count() const { return count_; }

  // No item at all, or an item of a numeric response that is no number, fails
  // the command; otherwise a numeric response gets its numbers.
  bool finish(CommandCall& call);

 private:
  const ScriptParameter& response_;
  ScriptResults& results_;
  // A numeric column is converted as it is read rather than held as texts:
  // a column of a million values then costs 8 bytes a value, not a string each.
  std::vector<double> numbers_;
  StringList* texts_ = nullptr;  // a text response's list, looked up once
  std::size_t count_ = 0;
  std::size_t firstNonNumber_ = 0;  // 1-based; 0 while every item is a number
  int itemsWithRemarks_ = 0;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
