// Which engine a tag-definition file belongs to: its base name's prefix picks
// the kind, its first two lines confirm it.
#ifndef ORLIX_PORTAL_TAG_ROUTING_H
#define ORLIX_PORTAL_TAG_ROUTING_H

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

enum class TagFileKind { Mark, Xml, Script, Portal, Unknown };

// The first two lines of a file, each without its line feed (a carriage return
// stays); what the file lacks stays empty, as does all of a path that names no
// regular file. Read straight from the file: every update routes every tag
// file, and a stream costs more to set up than these few bytes.
void readFirstTwoLines(const String& path, String& line1, String& line2);
// By prefix ("M_", "X_", "S_", "P_" followed by "in_" or "out_" for the
// direction), tested in the order Mark, XML, Script, Portal.
TagFileKind tagFileKindByName(const String& baseName, bool isInput);
// Whether the first two lines look like a file of that kind.
bool tagFileContentMatches(TagFileKind kind, const String& line1, const String& line2);
// The text logged when a file of `kind` is dropped for its content.
String filteredOutText(TagFileKind kind);

}  // namespace Portals
}  // namespace ORLIX

#endif
