// Element paths of the XML engine: the texts of a tag's "xpath" and "xid"
// ("model/part[1]/load", "part[@id=7]", "[#text]") cut into segments, and each
// segment read as a name with at most two bracket groups after it.
#ifndef ORLIX_TAGGING_XML_ELEMENT_PATH_H
#define ORLIX_TAGGING_XML_ELEMENT_PATH_H

#include <cstddef>
#include <vector>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

// The segments of a path text, as written.
using ElementPath = StringList;

// Cuts at every '/' outside a bracket group, so a condition holding a sub-path
// ("part[./load/value]") stays one segment. A leading '/' gives no segment;
// an empty text gives no segments at all.
ElementPath splitPath(const String& text);
// The segments joined with '/', as messages show a path.
String joinPath(const ElementPath& path);

// Whether the character at `pos` is escaped: preceded by an odd number of
// backslashes, so that "\\[" still opens a group.
bool isEscaped(const String& text, std::size_t pos);
// Where the group opened at `open` by one of "([{<" closes; groups of the same
// kind nest, other kinds and escaped characters are ordinary text. npos when
// the group never closes.
std::size_t matchingCloser(const String& text, std::size_t open);

struct PathSegment {
  String name;
  // The n-th child of that name, from 0; negative when the segment gives none.
  int index = -1;
  // "@key=value", "#text=value", "./sub/path" (or a selector moved here).
  String condition;
  // What to take inside the element found: "@attribute", "#text", a child name.
  String selector;
};

PathSegment parseSegment(const String& segment);

using ParsedPath = std::vector<PathSegment>;
ParsedPath parsePath(const ElementPath& path);

}  // namespace Portals
}  // namespace ORLIX

#endif
