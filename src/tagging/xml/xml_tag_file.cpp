#include "tagging/xml/xml_tag_file.h"

#include <utility>

#include "portal/message_buffer.h"
#include "tagging/tag_file_output.h"
#include "tagging/xml/xml_file.h"

namespace ORLIX {
namespace Portals {
namespace {

const char* const kModule = "Xml";
const char* const kRoot = "TagDefinition";

void addAttribute(pugi::xml_node element, const char* name, const String& value) {
  element.append_attribute(name).set_value(value.c_str());
}

}  // namespace

String xmlTagFileName(const String& fileName, const StringStringMap& analysisProps,
                      bool isInput) {
  return engineTagFileName('X', fileName, analysisProps, isInput);
}

bool writeXmlTagFile(TaggingImpl& engine, const String& fileName, const TagList& tags,
                     const StringStringMap& analysisProps, StringStringMap& outData,
                     bool isInput, String& message) {
  pugi::xml_document document;
  pugi::xml_node declaration = document.append_child(pugi::node_declaration);
  addAttribute(declaration, "version", "1.0");
  addAttribute(declaration, "encoding", "UTF-8");
  pugi::xml_node root = document.append_child(kRoot);
  addAttribute(root, "version", analysisProps["version"]);
  for (const char* key : {"solverVersion", "solverName"}) {
    if (!analysisProps[key].empty()) addAttribute(root, key, analysisProps[key]);
  }
  addAttribute(root, "filename", fileName);

  bool matched = false;
  for (const TagData& tag : tags) {
    if (tag.get("filename") != fileName) continue;
    // Once per tag, not once per file: an engine's document attributes must
    // come out the same however often they are written.
    engine.writeDocumentAttributes(document, analysisProps);
    matched = true;
  }
  for (const TagData& tag : tags) {
    if (tag.get("filename") != fileName) continue;
    pugi::xml_node element = root.append_child("tag");
    addAttribute(element, "mode", tag.get("mode"));
    addAttribute(element, "paramName", tag.paramName);
    addAttribute(element, "paramType", tag.paramType);
    addAttribute(element, "format", tag.get("format"));
    engine.writeTagAttributes(element, tag);
  }

  const String& destDir = analysisProps["destDir"];
  if (!matched || destDir.empty()) return true;
  const String name = xmlTagFileName(fileName, analysisProps, isInput);
  const String path = destDir + "/" + name;
  if (!saveXmlFile(document, path, XmlFileFormat())) {
    // No file, so no name handed back: the host must not be told of a tag
    // file that does not exist.
    appendError(message, lookupMessage(kModule, ".err.writeToFile"), path);
    return false;
  }
  recordTagFile(outData, fileName, isInput, name);
  return true;
}

int readXmlTagFile(TaggingImpl& engine, const String& tagFilePath, TagList& tags,
                   String& failure) {
  if (tagFilePath.empty()) return -1;
  pugi::xml_document document;
  if (!loadXmlFile(tagFilePath, pugi::parse_default, document, failure)) return -1;
  const pugi::xml_node root = document.document_element();
  if (String(root.name()) != kRoot) return -1;

  for (pugi::xml_node element : root.children("tag")) {
    if (element.type() != pugi::node_element) continue;
    TagData tag;
    tag.paramName = element.attribute("paramName").value();
    tag.paramType = element.attribute("paramType").value();
    tag.add("mode", element.attribute("mode").value());
    if (element.attribute("format")) tag.add("format", element.attribute("format").value());
    engine.readTagAttributes(element, tag);
    tags.push_back(std::move(tag));
  }
  return 0;
}

}  // namespace Portals
}  // namespace ORLIX
