// Line handling shared by the readers of our two resource formats. Private to
// the support library: the portal has helpers of its own and must not depend on
// these.
#ifndef ORLIX_SUPPORT_TEXT_LINES_H
#define ORLIX_SUPPORT_TEXT_LINES_H

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Support {
namespace Detail {

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

inline String trimBlanks(const String& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// A line as read with '\n' as the separator, without the '\r' that files
// written on Windows leave at its end.
inline void dropCarriageReturn(String& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

inline bool startsWith(const String& text, const String& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// The error-text convention of the host's message buffers: one message per
// line, no line feed after the last.
inline void appendLine(String& buffer, const String& line) {
  if (!buffer.empty()) buffer += '\n';
  buffer += line;
}

}  // namespace Detail
}  // namespace Support
}  // namespace ORLIX

#endif
