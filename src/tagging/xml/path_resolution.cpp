#include "tagging/xml/path_resolution.h"

#include <vector>

#include "portal/text.h"

namespace ORLIX {
namespace Portals {
namespace {

const char* const kTextKey = "#text";

bool holdsText(pugi::xml_node node) {
  switch (node.type()) {
    case pugi::node_pcdata:
    case pugi::node_cdata:
    case pugi::node_comment:
    case pugi::node_pi:
    case pugi::node_doctype:
      return true;
    default:
      return false;
  }
}

}  // namespace

XmlTarget selectTarget(pugi::xml_node element, const String& selector) {
  if (selector.empty() || !element) return XmlTarget();
  const String what = selector.substr(0, selector.find('='));
  if (startsWith(what, "@")) {
    const pugi::xml_attribute attribute = element.attribute(what.c_str() + 1);
    if (!attribute) return XmlTarget();
    return XmlTarget{pugi::xml_node(), attribute, element};
  }
  for (pugi::xml_node child : element.children()) {
    const bool wanted = what == kTextKey ? (child.type() == pugi::node_pcdata ||
                                            child.type() == pugi::node_cdata)
                                         : isElementNamed(child, what);
    if (wanted) return XmlTarget{child, pugi::xml_attribute(), element};
  }
  return XmlTarget();
}

bool matchesCondition(pugi::xml_node child, const String& condition) {
  return PathResolver(false).matches(child, condition);
}

XmlTarget resolvePath(pugi::xml_node start, const ElementPath& path) {
  return PathResolver(false).resolve(start, path);
}

bool writeTargetValue(const XmlTarget& target, const String& value) {
  // Handles: a copy writes into the same document.
  pugi::xml_attribute attribute = target.attribute;
  pugi::xml_node node = target.node;
  if (attribute) return attribute.set_value(value.c_str());
  if (node) return node.set_value(value.c_str());
  return false;
}

bool readTargetValue(const XmlTarget& target, String& value) {
  if (target.attribute) {
    value = target.attribute.value();
    return true;
  }
  // An element's own value is always empty (its text is a child): handing that
  // on as the response would hide a path that stops one step short.
  if (!holdsText(target.node)) return false;
  value = target.node.value();
  return true;
}

XmlTarget PathResolver::resolve(pugi::xml_node start, const ElementPath& path) {
  return walk(start, parsePath(path), 0, indexed_);
}

void PathResolver::expect(const ElementPath& path) {
  if (!indexed_) return;
  for (const String& text : path) {
    const PathSegment segment = parseSegment(text);
    if (!segment.condition.empty() && segment.index < 0) {
      index_.expect(segment.name, segment.condition);
    }
  }
}

bool PathResolver::prepare(pugi::xml_node document, std::size_t depthBound) {
  return index_.survey(document, depthBound);
}

bool PathResolver::matches(pugi::xml_node child, const String& condition) {
  if (startsWith(condition, "./")) {
    // Sub-paths are short and start at a different child each time: grouping
    // every candidate's children would cost more than it saves.
    return walk(child, conditionPath(condition), 0, false).found();
  }
  const std::size_t equals = condition.find('=');
  if (equals == String::npos) return false;
  const std::string_view text(condition);
  std::string_view key = text.substr(0, equals);
  const std::string_view value = text.substr(equals + 1);
  if (!key.empty() && key.front() == '#') return key == kTextKey && value == child.child_value();
  if (!key.empty() && key.front() == '@') key.remove_prefix(1);
  const pugi::xml_attribute attribute = attributeNamed(child, key);
  return attribute && value == attribute.value();
}

void PathResolver::valueWritten(const XmlTarget& target) {
  if (target.attribute) {
    index_.valueWritten(target.holder, "@" + String(target.attribute.name()));
  } else if (target.node) {
    index_.valueWritten(target.node.parent(), kTextKey);
  }
}

const ParsedPath& PathResolver::conditionPath(const String& condition) {
  auto found = conditionPaths_.find(condition);
  if (found != conditionPaths_.end()) return found->second;
  return conditionPaths_.emplace(condition, parsePath(splitPath(condition.substr(2))))
      .first->second;
}

XmlTarget PathResolver::walk(pugi::xml_node start, const ParsedPath& path, std::size_t from,
                             bool indexed) {
  if (from == path.size()) return XmlTarget{start, pugi::xml_attribute(), pugi::xml_node()};
  const PathSegment& segment = path[from];
  if (segment.name == ".") return walk(start, path, from + 1, indexed);
  if (segment.name.empty()) {
    // A segment of bracket groups alone picks inside `start` and ends the path.
    if (!segment.condition.empty()) return selectTarget(start, segment.condition);
    if (!segment.selector.empty()) return selectTarget(start, segment.selector);
    return XmlTarget{start, pugi::xml_attribute(), pugi::xml_node()};
  }
  return indexed ? walkIndexed(start, path, from) : walkChildren(start, path, from);
}

bool PathResolver::takes(const PathSegment& segment, pugi::xml_node child, int position) {
  if (segment.index >= 0 && segment.index == position) return true;
  return !segment.condition.empty() && matches(child, segment.condition) &&
         (!contains(segment.selector, "=") || matches(child, segment.selector));
}

XmlTarget PathResolver::take(pugi::xml_node child, const ParsedPath& path, std::size_t from,
                             bool indexed) {
  if (from + 1 < path.size()) return walk(child, path, from + 1, indexed);
  const String& selector = path[from].selector;
  if (selector.empty()) return XmlTarget{child, pugi::xml_attribute(), pugi::xml_node()};
  return selectTarget(child, selector);
}

// The walk as the path language defines it: children in document order,
// counted by name.
XmlTarget PathResolver::walkChildren(pugi::xml_node start, const ParsedPath& path,
                                     std::size_t from) {
  const PathSegment& segment = path[from];
  const bool last = from + 1 == path.size();
  int position = 0;
  for (pugi::xml_node child : start.children()) {
    if (!isElementNamed(child, segment.name)) continue;
    if (takes(segment, child, position++)) return take(child, path, from, false);
    if (last && segment.index < 0) {
      // A leaf segment that names something inside its element
      // ("part[#text]", "part[@id]") picks it in the first element of the name.
      if (segment.condition.empty() && startsWith(segment.selector, "#") &&
          !contains(segment.selector, "=")) {
        return selectTarget(child, segment.selector);
      }
      if (startsWith(segment.condition, "@") && !contains(segment.condition, "=")) {
        return selectTarget(child, segment.condition);
      }
    }
  }
  return XmlTarget();
}

// walkChildren's result, from the grouped children. Which child the plain walk
// stops at follows from the segment's shape alone; only a condition that no
// table answers still needs a look at every candidate in turn.
XmlTarget PathResolver::walkIndexed(pugi::xml_node start, const ParsedPath& path,
                                    std::size_t from) {
  const PathSegment& segment = path[from];
  const bool last = from + 1 == path.size();
  const NamedChildren& list = index_.namedChildren(start, segment.name);
  if (list.empty()) return XmlTarget();

  if (segment.condition.empty()) {
    // Only the index can take a child; without one, only a leaf "[#...]"
    // selector stops the walk, at the first child.
    if (segment.index >= 0) {
      const pugi::xml_node child = list.at(static_cast<std::size_t>(segment.index));
      return child ? take(child, path, from, true) : XmlTarget();
    }
    if (last && startsWith(segment.selector, "#") && !contains(segment.selector, "=")) {
      return selectTarget(list.at(0), segment.selector);
    }
    return XmlTarget();
  }

  const bool selectorIsCondition = contains(segment.selector, "=");
  std::vector<pugi::xml_node> passing;
  if (segment.index < 0 && index_.passing(start, segment.name, segment.condition, passing)) {
    for (const pugi::xml_node child : passing) {
      if (!selectorIsCondition || matches(child, segment.selector)) {
        return take(child, path, from, true);
      }
    }
    return XmlTarget();
  }
  if (last && segment.index < 0 && startsWith(segment.condition, "@") &&
      !contains(segment.condition, "=")) {
    // "part[@id]": such a condition takes no child, so the first one stops the walk.
    return selectTarget(list.at(0), segment.condition);
  }
  int position = 0;
  for (pugi::xml_node child = list.at(0); child; child = NamedChildren::next(child)) {
    if (takes(segment, child, position++)) return take(child, path, from, true);
  }
  return XmlTarget();
}

}  // namespace Portals
}  // namespace ORLIX
