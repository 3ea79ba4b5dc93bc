#include "portal/properties.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "portal/text.h"

namespace ORLIX {
namespace Portals {
namespace {

// Reads a number at the start of [first, last); returns where reading stopped
// (== first when nothing was read).
const char* readNumber(const char* first, const char* last, double& value) {
  const char* p = first;
  while (p != last && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n')) ++p;
  const char* start = p;
  if (p != last && *p == '+') ++p;  // from_chars refuses an explicit plus sign
  if (p != last && (*p == '+' || *p == '-') && start != p) return first;
  auto result = std::from_chars(p, last, value, std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    value = (start != last && *start == '-') ? -HUGE_VAL : HUGE_VAL;
    return result.ptr;
  }
  if (result.ec != std::errc()) return first;
  return result.ptr;
}

class EmptyProperties final : public IProperties {
 public:
  StringList keys() const override { return {}; }
  String valueOf(const String&) const override { return String(); }
  String labelOf(const String&) const override { return String(); }
  void setValue(const String&, const String&) override {}
  void remove(const String&) override {}
  void clear() override {}
  void merge(const IProperties&) override {}
};

}  // namespace

StringList splitList(const String& value) { return splitAt(value, '\n'); }

String joinList(const StringList& items) { return join(items, "\n"); }

void padList(StringList& list, std::size_t size) {
  if (list.size() < size) list.resize(size);
}

bool isTrue(const String& value) {
  const String lower = toLower(value);
  return lower == "true" || lower == "yes" || lower == "1";
}

double toNumber(std::string_view text) {
  double value = 0.0;
  const char* first = text.data();
  if (readNumber(first, first + text.size(), value) == first) return 0.0;
  return value;
}

bool readsAsNumber(const String& text, double& value) {
  const String trimmed = trim(text);
  if (trimmed.empty()) return false;
  const char* first = trimmed.data();
  const char* last = first + trimmed.size();
  double read = 0.0;
  if (readNumber(first, last, read) != last) return false;
  value = read;
  return true;
}

int truncateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
    return std::numeric_limits<int>::max();
  }
  if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
    return std::numeric_limits<int>::min();
  }
  return static_cast<int>(value);
}

String settingLineValue(const StringList& lines, const String& key) {
  for (const String& line : lines) {
    const StringList pieces = splitAt(line, ':');
    if (pieces.size() >= 2 && pieces[0] == key) return pieces[1];
  }
  return String();
}

IProperties& emptyProperties() {
  static EmptyProperties bag;  // thread-safe first use; lives until the library unloads
  return bag;
}

}  // namespace Portals
}  // namespace ORLIX
