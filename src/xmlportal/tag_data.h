// The tag record shared by every tagging mode: where, in one analysis file, the
// value of one parameter or response lives. Header-only, because the record
// crosses the library boundary inside TagList and the host builds tags too.
#ifndef ORLIX_XMLPORTAL_TAG_DATA_H
#define ORLIX_XMLPORTAL_TAG_DATA_H

#include <list>
#include <utility>
#include <vector>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

struct TagAttribute {
  String key;
  String value;
  String kind;  // empty for a plain property; "Prop", "PortalData", ...
};

using TagAttributeList = std::vector<TagAttribute>;

struct TagData {
  StringList path;  // groups outermost first, then the tag's own name
  String paramName;
  String paramType;
  TagAttributeList attributes;

  // Appends; never replaces an existing entry. Taken by value: a tag file's
  // reader passes texts made for the call, which then move in.
  void add(String key, String value, String kind = String()) {
    attributes.push_back(TagAttribute{std::move(key), std::move(value), std::move(kind)});
  }
  // First entry with `key` (and `kind`, when kind is non-empty); a missing
  // entry reads as the empty string.
  const String& get(const String& key, const String& kind = String()) const {
    for (const TagAttribute& a : attributes) {
      if (a.key == key && (kind.empty() || a.kind == kind)) return a.value;
    }
    static const String empty;
    return empty;
  }
  bool has(const String& key) const {
    for (const TagAttribute& a : attributes) {
      if (a.key == key) return true;
    }
    return false;
  }
};

using TagList = std::list<TagData>;

}  // namespace Portals
}  // namespace ORLIX

#endif
