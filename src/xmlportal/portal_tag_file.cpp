// The portal's own XML tag-definition files ("P_in_..." / "P_out_..."): one file
// per analysis file and direction, groups as nested "Key" elements, one "tag"
// element per tag whose mode is "portal".
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/properties.h"
#include "portal/text.h"
#include "tagging/xml/xml_file.h"
#include "xmlportal/wide_path.h"
#include "xmlportal/xml_portal.h"

using ORLIX::String;
using ORLIX::StringList;
using ORLIX::StringStringMap;
using ORLIX::Portals::TagData;
using ORLIX::Portals::TagList;

namespace {

bool isFileOrMode(const String& key) { return key == "filename" || key == "mode"; }

// Collects every element named "tag" below the walk's start, in document order.
class TagExtractor : public pugi::xml_tree_walker {
 public:
  bool for_each(pugi::xml_node& node) override {
    if (std::strcmp(node.name(), "tag") == 0) tags.push_back(node);
    return true;
  }
  std::vector<pugi::xml_node> tags;
};

StringList oldLayoutPath(const pugi::xml_node& element) {
  StringList path;
  const String dotted = element.path('.');
  String::size_type start = 0;
  for (;;) {
    const auto end = dotted.find('.', start);
    path.push_back(ORLIX::Portals::trim(
        dotted.substr(start, end == String::npos ? String::npos : end - start)));
    if (end == String::npos) break;
    start = end + 1;
  }
  return path;
}

// Collected upwards and turned round once: putting each name in front would
// move the whole list on every level.
StringList namedPath(const pugi::xml_node& element) {
  StringList path;
  for (pugi::xml_node node = element; node; node = node.parent()) {
    path.push_back(node.attribute("name").value());
  }
  std::reverse(path.begin(), path.end());
  return path;
}

bool isTagProperty(std::string_view key) { return key != "paramName" && key != "paramType" && key != "name"; }
bool isNamedChild(const pugi::xml_node& child) {
  return child.type() == pugi::node_element && child.attribute("name");
}

// One tag element as a tag record. Its entries are counted first: a vector
// grown by appending keeps room it never uses, and a tag file may hold a
// hundred thousand tags.
TagData portalTag(const pugi::xml_node& element, double version, const String& fileName) {
  TagData tag;
  tag.path = version < 7.2 ? oldLayoutPath(element) : namedPath(element);
  if (!tag.path.empty() && tag.path.front().empty()) tag.path.erase(tag.path.begin());
  if (!tag.path.empty()) tag.path.erase(tag.path.begin());  // the root
  tag.path.shrink_to_fit();  // kept for the whole update: no room to spare
  const pugi::xml_attribute nameAttribute = element.attribute("name");
  if (nameAttribute && !tag.path.empty() && tag.path.back() == "tag") {
    tag.path.back() = nameAttribute.value();
  }
  if (element.attribute("paramName")) tag.paramName = element.attribute("paramName").value();
  if (element.attribute("paramType")) tag.paramType = element.attribute("paramType").value();

  std::size_t entries = 2;  // filename and mode
  for (const pugi::xml_attribute& attribute : element.attributes()) {
    entries += isTagProperty(attribute.name());
  }
  for (const pugi::xml_node& child : element.children()) entries += isNamedChild(child);
  tag.attributes.reserve(entries);
  for (const pugi::xml_attribute& attribute : element.attributes()) {
    if (isTagProperty(attribute.name())) tag.add(attribute.name(), attribute.value());
  }
  for (const pugi::xml_node& child : element.children()) {
    if (isNamedChild(child)) tag.add(child.attribute("name").value(), child.text().get(), child.name());
  }
  tag.add("filename", fileName);
  tag.add("mode", "portal");
  return tag;
}

// A tag path longer than any file may nest would give a file that no reader
// takes back, written with one more indentation on each of its lines.
bool saveTagDocument(const pugi::xml_document& document, const String& target,
                     String& message) {
  std::wstring widePath;
  String pathError;
  if (ORLIX::Portals::nestedDeeperThan(document, ORLIX::Portals::kMaxXmlDepth)) {
    ORLIX::Portals::appendLine(message, ORLIX::Portals::nestedTooDeepText());
  } else if (ORLIX::Portals::toWidePath(target, widePath, pathError) &&
             document.save_file(widePath.c_str(), "  ", pugi::format_indent)) {
    return true;
  }
  ORLIX::Portals::appendLine(message, "Unable to write to " + target);
  return false;
}

}  // namespace

String xmlPortal::tagFileName(const String& baseName, const StringStringMap& analysisProps,
                              bool isInput) {
  return String("P_") + (isInput ? "in_" : "out_") + analysisProps["analysisName"] + "_" +
         baseName;
}

bool xmlPortal::writesPropEntry(const String&) { return true; }
bool xmlPortal::writesPortalDataEntry(const String&) { return true; }
bool xmlPortal::readsPropEntry(const String&) { return true; }
bool xmlPortal::readsPortalDataEntry(const String&) { return true; }

int xmlPortal::writeExtraTagData(pugi::xml_document&, const StringStringMap&, StringStringMap&) {
  return 0;
}

void xmlPortal::readExtraTagData(pugi::xml_document&, const StringStringMap&, TagList&,
                                 StringStringMap&) {}

void xmlPortal::writeTagAttributes(pugi::xml_node& tagElement, const TagData& tag) {
  tagElement.append_attribute("paramName").set_value(tag.paramName.c_str());
  tagElement.append_attribute("paramType").set_value(tag.paramType.c_str());
  for (const auto& a : tag.attributes) {
    if (a.kind.empty() && !isFileOrMode(a.key)) {
      tagElement.append_attribute(a.key.c_str()).set_value(a.value.c_str());
    }
  }
  for (const auto& a : tag.attributes) {
    if (isFileOrMode(a.key)) continue;
    const bool written = (a.kind == "Prop" && writesPropEntry(a.key)) ||
                         (a.kind == "PortalData" && writesPortalDataEntry(a.key));
    if (!written) continue;
    pugi::xml_node child = tagElement.append_child(a.kind.c_str());
    child.append_attribute("name").set_value(a.key.c_str());
    child.append_child(pugi::node_pcdata).set_value(a.value.c_str());
  }
}

void xmlPortal::appendTagElements(TagList& tags, pugi::xml_node parent) {
  for (const TagData& tag : tags) {
    if (tag.get("mode") != "portal" || tag.path.empty()) continue;
    pugi::xml_node group = parent;
    for (std::size_t i = 0; i + 1 < tag.path.size(); ++i) {
      pugi::xml_node key = group.find_child_by_attribute("Key", "name", tag.path[i].c_str());
      if (!key) {
        key = group.append_child("Key");
        key.append_attribute("name").set_value(tag.path[i].c_str());
      }
      group = key;
    }
    pugi::xml_node element = group.append_child("tag");
    element.append_attribute("name").set_value(tag.path.back().c_str());
    writeTagAttributes(element, tag);
  }
}

bool xmlPortal::writeTagData(const String& baseName, TagList& tags,
                             const StringStringMap& analysisProps, StringStringMap& outData,
                             bool isInput, String& message) {
  pugi::xml_document document;
  pugi::xml_node declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version").set_value("1.0");
  declaration.append_attribute("encoding").set_value("UTF-8");
  pugi::xml_node root = document.append_child("Portal");
  root.append_attribute("name").set_value(name().c_str());
  root.append_attribute("version").set_value(analysisProps["version"].c_str());
  if (!analysisProps["solverVersion"].empty()) {
    root.append_attribute("solverVersion").set_value(analysisProps["solverVersion"].c_str());
  }
  if (!analysisProps["solverName"].empty()) {
    root.append_attribute("solverName").set_value(analysisProps["solverName"].c_str());
  }
  root.append_attribute("fileType").set_value("Tag Definition");

  appendTagElements(tags, root);

  const int extra = writeExtraTagData(document, analysisProps, outData);
  const bool save = extra == -1 || (extra == 0 && root.first_child());
  const String destDir = analysisProps["destDir"];
  if (save && !destDir.empty()) {
    const String fileName = tagFileName(baseName, analysisProps, isInput);
    if (saveTagDocument(document, destDir + "/" + fileName, message)) {
      outData.set(baseName + (isInput ? "_in" : "_out") + "tagfile", fileName);
    }
  }
  return message.empty();
}

int xmlPortal::readTagData(const String& tagFilePath, const StringStringMap& analysisProps,
                           TagList& tags, StringStringMap& outData, bool isInput,
                           String& message) {
  if (tagFilePath.empty()) return -1;
  const String base = ORLIX::Support::File::base(tagFilePath, true);
  if (!ORLIX::Portals::startsWith(base, String("P_") + (isInput ? "in_" : "out_"))) return -1;

  pugi::xml_document document;
  String failure;
  if (!ORLIX::Portals::loadXmlFile(tagFilePath, pugi::parse_default, document, failure)) {
    message = failure + "\nUnable to read tag file " + tagFilePath;
    return -1;
  }
  pugi::xml_node root = document.document_element();
  if (String(root.name()) != "Portal") return -1;

  const String fileName = analysisProps[isInput ? "inputFilename" : "outputFilename"];
  TagExtractor extractor;
  root.traverse(extractor);
  if (extractor.tags.empty()) return -1;

  const String versionText = root.attribute("version").value();
  const double version = versionText == "test" ? 7.2 : ORLIX::Portals::toNumber(versionText);

  for (const pugi::xml_node& element : extractor.tags) tags.push_back(portalTag(element, version, fileName));
  readExtraTagData(document, analysisProps, tags, outData);
  return 0;
}
