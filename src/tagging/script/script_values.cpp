#include "tagging/script/script_values.h"

#include <iterator>

#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/properties.h"

namespace ORLIX {
namespace Portals {
namespace {

const int kRemarkedItemsShown = 5;

}  // namespace

bool recordValue(CommandCall& call, const ScriptParameter& response, const String& text,
                 const String& extractionMessage, ScriptResults& results) {
  if (!extractionMessage.empty()) appendLine(call.messages(), extractionMessage);
  if (!response.numeric) {
    results.text[response.name].push_back(text);
    return true;
  }
  double number = 0.0;
  if (!readsAsNumber(text, number)) {
    return call.fail(".err.responseNotANumber", {response.name, text});
  }
  results.numeric[response.name].push_back(number);
  return true;
}

ColumnValues::ColumnValues(const ScriptParameter& response, ScriptResults& results)
    : response_(response), results_(results) {}

void ColumnValues::add(const String& text, const String& extractionMessage, String& messages) {
  ++count_;
  if (!extractionMessage.empty()) {
    ++itemsWithRemarks_;
    if (itemsWithRemarks_ <= kRemarkedItemsShown) {
      appendLine(messages, extractionMessage);
    } else if (itemsWithRemarks_ == kRemarkedItemsShown + 1) {
      appendWarning(messages, lookupMessage(kScriptModule, ".warn.getColumnFoundEndEarly"));
    }
  }
  if (!response_.numeric) {
    if (!texts_) texts_ = &results_.text[response_.name];
    texts_->push_back(text);
    return;
  }
  if (firstNonNumber_ != 0) return;  // the column has failed already
  double number = 0.0;
  if (readsAsNumber(text, number)) {
    numbers_.push_back(number);
  } else {
    firstNonNumber_ = count_;
  }
}

bool ColumnValues::finish(CommandCall& call) {
  const bool noData = response_.numeric ? count_ == 0 : results_.text[response_.name].empty();
  if (noData) return call.fail(".err.getColumnNoData", {response_.name});
  if (!response_.numeric) return true;
  if (firstNonNumber_ != 0) {
    return call.fail(".err.getColumnProblemItem",
                     {numberText(static_cast<double>(firstNonNumber_))});
  }
  std::vector<double>& numbers = results_.numeric[response_.name];
  if (numbers.empty()) {
    numbers.swap(numbers_);
  } else {
    numbers.insert(numbers.end(), numbers_.begin(), numbers_.end());
  }
  return true;
}

}  // namespace Portals
}  // namespace ORLIX
