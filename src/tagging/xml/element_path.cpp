#include "tagging/xml/element_path.h"

#include "portal/properties.h"
#include "portal/text.h"

namespace ORLIX {
namespace Portals {
namespace {

char closerOf(char opener) {
  switch (opener) {
    case '(':
      return ')';
    case '<':
      return '>';
    case '[':
      return ']';
    case '{':
      return '}';
    default:
      return '\0';
  }
}

std::size_t firstOpenBracket(const String& text) {
  for (std::size_t pos = text.find('['); pos != String::npos; pos = text.find('[', pos + 1)) {
    if (!isEscaped(text, pos)) return pos;
  }
  return String::npos;
}

// Takes the first bracket group out of `text` and gives its inner text. A group
// that never closes runs to the end of the text: the user forgot a bracket,
// and reading the rest as the group's text is the least surprising repair.
bool takeGroup(String& text, String& inner) {
  const std::size_t open = firstOpenBracket(text);
  if (open == String::npos) return false;
  const std::size_t close = matchingCloser(text, open);
  if (close == String::npos) {
    inner = text.substr(open + 1);
    text.erase(open);
  } else {
    inner = text.substr(open + 1, close - open - 1);
    text.erase(open, close - open + 1);
  }
  return true;
}

bool isCondition(const String& group) {
  return startsWith(group, "@") || startsWith(group, "./") ||
         (startsWith(group, "#") && contains(group, "="));
}

}  // namespace

bool isEscaped(const String& text, std::size_t pos) {
  std::size_t backslashes = 0;
  while (pos > backslashes && text[pos - backslashes - 1] == '\\') ++backslashes;
  return backslashes % 2 == 1;
}

std::size_t matchingCloser(const String& text, std::size_t open) {
  const char opener = text[open];
  const char closer = closerOf(opener);
  if (closer == '\0') return String::npos;
  int depth = 0;
  for (std::size_t pos = open; pos < text.size(); ++pos) {
    if (isEscaped(text, pos)) continue;
    if (text[pos] == opener) {
      ++depth;
    } else if (text[pos] == closer && --depth == 0) {
      return pos;
    }
  }
  return String::npos;
}

ElementPath splitPath(const String& text) {
  ElementPath path;
  if (text.empty()) return path;
  String segment;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '[' && !isEscaped(text, pos)) {
      const std::size_t close = matchingCloser(text, pos);
      const std::size_t end = close == String::npos ? text.size() : close + 1;
      segment.append(text, pos, end - pos);
      pos = end;
    } else if (c == '/') {
      path.push_back(segment);
      segment.clear();
      ++pos;
    } else {
      segment += c;
      ++pos;
    }
  }
  path.push_back(segment);
  if (path.front().empty()) path.erase(path.begin());
  return path;
}

String joinPath(const ElementPath& path) { return join(path, "/"); }

PathSegment parseSegment(const String& segment) {
  PathSegment parsed;
  String rest = segment;
  String group;
  if (contains(rest, "[") && contains(rest, "]") && takeGroup(rest, group)) {
    double number = 0.0;
    if (isCondition(group)) {
      parsed.condition = group;
    } else if (readsAsNumber(group, number)) {
      parsed.index = truncateToInt(number);
    } else {
      parsed.selector = group;
    }
    if (takeGroup(rest, group)) {
      if (parsed.condition.empty()) parsed.condition = parsed.selector;
      parsed.selector = group;
    }
  } else if (!contains(rest, "[")) {
    parsed.index = 0;
  }
  parsed.name = rest;
  return parsed;
}

ParsedPath parsePath(const ElementPath& path) {
  ParsedPath parsed;
  parsed.reserve(path.size());
  for (const String& segment : path) parsed.push_back(parseSegment(segment));
  return parsed;
}

}  // namespace Portals
}  // namespace ORLIX
