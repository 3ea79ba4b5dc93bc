// Finding what an element path points at in a parsed XML document: an element,
// a text node or an attribute, and reading or writing the value there.
#ifndef ORLIX_TAGGING_XML_PATH_RESOLUTION_H
#define ORLIX_TAGGING_XML_PATH_RESOLUTION_H

#include <cstddef>
#include <unordered_map>

#include <pugixml.hpp>

#include "tagging/xml/element_path.h"
#include "tagging/xml/path_index.h"

namespace ORLIX {
namespace Portals {

struct XmlTarget {
  pugi::xml_node node;
  pugi::xml_attribute attribute;
  // The element that carries `attribute`; what a write to it may change.
  pugi::xml_node holder;
  bool found() const { return node || attribute; }
};

// "./sub/path": the child has something at that path; "#text=v": its first
// text is v; "@key=v" (or "key=v"): its attribute key is v. Anything else,
// the empty condition included, does not match. Comparisons are exact.
bool matchesCondition(pugi::xml_node child, const String& condition);
// Inside `element`: "@name" its attribute, "#text" its first text or CDATA
// node, any other name its first child element of that name. Whatever
// follows a '=' in the selector is not looked at.
XmlTarget selectTarget(pugi::xml_node element, const String& selector);
// Paths start at the document node, so the first segment names the root.
XmlTarget resolvePath(pugi::xml_node start, const ElementPath& path);

// An attribute takes any value; a node only when it holds text of its own
// (text, CDATA, comment, processing instruction), so never an element.
bool writeTargetValue(const XmlTarget& target, const String& value);
bool readTargetValue(const XmlTarget& target, String& value);

// resolvePath for many paths into one document. A path walk meets the children
// of one parent by name and position, and the same wide parent (a list of a
// million nodes) again and again for the next tag; walking it each time makes
// a thousand tags cost a thousand passes over the document. So the walk takes
// its candidates from a PathIndex. Results are exactly resolvePath's. The
// document's structure must not change while the resolver lives; values may,
// when each write is announced through valueWritten.
class PathResolver {
 public:
  // Without indexing, each walk is the plain one (what resolvePath does).
  explicit PathResolver(bool indexed = true) : indexed_(indexed) {}

  XmlTarget resolve(pugi::xml_node start, const ElementPath& path);
  // Announces a path that will be resolved, so that the tables built for
  // its conditions hold the values it asks for (see PathIndex::expect).
  void expect(const ElementPath& path);
  // After every path is announced and before any is resolved: one walk over
  // the whole document, false when an element lies more than `depthBound`
  // levels deep. The walk lists the wide lists on its way (PathIndex::survey),
  // so a caller that must bound the depth anyway pays for one walk, not two.
  bool prepare(pugi::xml_node document, std::size_t depthBound);
  bool matches(pugi::xml_node child, const String& condition);
  // Forgets what a write to `target` may have changed.
  void valueWritten(const XmlTarget& target);

 private:
  XmlTarget walk(pugi::xml_node start, const ParsedPath& path, std::size_t from, bool indexed);
  XmlTarget walkChildren(pugi::xml_node start, const ParsedPath& path, std::size_t from);
  XmlTarget walkIndexed(pugi::xml_node start, const ParsedPath& path, std::size_t from);
  XmlTarget take(pugi::xml_node child, const ParsedPath& path, std::size_t from, bool indexed);
  bool takes(const PathSegment& segment, pugi::xml_node child, int position);
  const ParsedPath& conditionPath(const String& condition);

  bool indexed_;
  PathIndex index_;
  std::unordered_map<String, ParsedPath> conditionPaths_;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
