#include "portal/text.h"

#include <algorithm>
#include <cctype>

namespace ORLIX {
namespace Portals {

const char* const kBlanks = " \t\r\n";

String trim(const String& text) { return String(trimmedView(text)); }

std::string_view trimmedView(std::string_view text) {
  const auto first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return std::string_view();
  const auto last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

String toLower(String text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

String toUpper(String text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool startsWith(const String& text, const String& prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(const String& text, const String& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool contains(const String& text, const String& part) {
  return text.find(part) != String::npos;
}

String replaceAll(String text, const String& from, const String& to) {
  if (from.empty()) return text;
  String::size_type pos = 0;
  while ((pos = text.find(from, pos)) != String::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
  return text;
}

StringList splitAt(const String& text, char separator) {
  StringList pieces;
  if (text.empty()) return pieces;
  String::size_type start = 0;
  for (;;) {
    const auto end = text.find(separator, start);
    pieces.push_back(trim(text.substr(start, end == String::npos ? String::npos : end - start)));
    if (end == String::npos) break;
    start = end + 1;
  }
  return pieces;
}

String join(const StringList& items, const String& separator) {
  String out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) out += separator;
    out += items[i];
  }
  return out;
}

}  // namespace Portals
}  // namespace ORLIX
