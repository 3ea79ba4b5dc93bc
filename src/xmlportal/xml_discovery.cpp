// Generic discovery of values in an XML data file: every element that holds
// text becomes a value entry, grouped under the elements that enclose it.
#include <cstddef>

#include "portal/edge_guard.h"
#include "portal/message_buffer.h"
#include "portal/text.h"
#include "tagging/xml/xml_file.h"
#include "xmlportal/xml_portal.h"

using ORLIX::PortalEntry;
using ORLIX::PortalItem;
using ORLIX::PortalItemList;
using ORLIX::String;
using ORLIX::StringStringMap;

namespace {

// Discovery recurses once per nesting level. A file nested deeper than the
// portal's bound never loads; the guard keeps the stack safe for documents a
// derived portal builds or loads itself.
class DepthGuard {
 public:
  explicit DepthGuard(std::size_t& depth) : depth_(depth) { ++depth_; }
  ~DepthGuard() { --depth_; }
  bool tooDeep() const { return depth_ > ORLIX::Portals::kMaxXmlDepth; }

 private:
  std::size_t& depth_;
};

thread_local std::size_t discoveryDepth = 0;

bool refuseDepth(String& message) {
  ORLIX::Portals::appendError(message, ORLIX::Portals::nestedTooDeepText());
  return false;
}

}  // namespace

bool xmlPortal::parseInputFile(const String& inputPath, const StringStringMap&,
                               PortalItemList& items, String& message) {
  return ORLIX::Portals::guarded(message, false,
                                 [&] { return discover(inputPath, items, message); });
}

bool xmlPortal::parseOutputFile(const String& outputPath, const StringStringMap&,
                                PortalItemList& items, String& message) {
  return ORLIX::Portals::guarded(message, false,
                                 [&] { return discover(outputPath, items, message); });
}

bool xmlPortal::discover(const String& path, PortalItemList& items, String& message) {
  pugi::xml_document document;
  String failure;
  if (!ORLIX::Portals::loadXmlFile(path, pugi::parse_default, document, failure)) {
    ORLIX::Portals::appendLine(message, failure + " " + path);
    return false;
  }
  const pugi::xml_node root = document.document_element();
  if (!acceptsDocument(root, 0)) return false;
  const bool result = parseElement(root.first_child(), items, message, true);
  if (reportsParsing()) sendProgress(String(), -1, -1);
  return result;
}

bool xmlPortal::parseElement(pugi::xml_node node, PortalItemList& items, String& message,
                             bool withSiblings) {
  if (!node || node.type() != pugi::node_element) return true;
  DepthGuard depth(discoveryDepth);
  if (depth.tooDeep()) return refuseDepth(message);

  if (!isIgnoredElement(node) && !isLeafElement(node)) {
    PortalItem item(elementName(node), String(), 0);
    const pugi::xml_node first = node.first_child();
    if (first.type() == pugi::node_element && isLeafElement(first)) {
      if (!collectLeaves(first, item, message)) return false;
      if (!item.entries.empty()) {
        item.typeLabel = "Properties";
        onGroupParsed(item, node.name());
        items.push_back(std::move(item));
      }
    } else {
      if (!parseElement(first, item.children, message, true)) return false;
      if (!item.children.empty()) {
        item.typeLabel = groupName(item, first.name());
        onGroupParsed(item, node.name());
        items.push_back(std::move(item));
      }
    }
  }
  if (withSiblings) {
    for (pugi::xml_node sibling = node.next_sibling(); sibling; sibling = sibling.next_sibling()) {
      if (!parseElement(sibling, items, message, false)) return false;
    }
  }
  if (reportsParsing()) sendProgress("*Parsing xml data...", 0, 0);
  return true;
}

bool xmlPortal::collectLeaves(pugi::xml_node node, PortalItem& item, String& message) {
  if (!node || node.type() != pugi::node_element) return true;
  DepthGuard depth(discoveryDepth);
  if (depth.tooDeep()) return refuseDepth(message);
  for (pugi::xml_node current = node; current; current = current.next_sibling()) {
    if (current.type() == pugi::node_element && isLeafElement(current)) {
      item.entries.push_back(makeLeafEntry(current));
    } else if (!collectLeaves(current.first_child(), item, message)) {
      return false;
    }
  }
  return true;
}

bool xmlPortal::isLeafElement(pugi::xml_node node) {
  return node.first_child().type() == pugi::node_pcdata;
}

bool xmlPortal::isIgnoredElement(pugi::xml_node node) {
  return String(node.name()).find(':') != String::npos;
}

void xmlPortal::onGroupParsed(PortalItem&, const String&) {}

PortalEntry xmlPortal::makeLeafEntry(pugi::xml_node node) {
  return PortalEntry{elementName(node), ORLIX::Portals::trim(node.child_value()), String()};
}

String xmlPortal::groupName(const PortalItem&, const String& childElementName) {
  return childElementName;
}

String xmlPortal::elementName(pugi::xml_node node) {
  const String attribute = node.attribute("name").value();
  return attribute.empty() ? String(node.name()) : attribute;
}

bool xmlPortal::acceptsDocument(pugi::xml_node, int) { return true; }
