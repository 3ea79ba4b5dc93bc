// Values by element path, and the per-design update that writes the portal-tagged
// parameters of XML input files through those paths.
#include <string>

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
using ORLIX::Portals::TagList;

namespace {

pugi::xml_node elementAtPath(pugi::xml_document& document, const StringList& path,
                             char separator) {
  return document.document_element().first_element_by_path(
      ORLIX::Portals::join(path, String(1, separator)).c_str(), separator);
}

}  // namespace

bool xmlPortal::setValueAtPath(const StringList& path, pugi::xml_document& document,
                               const String& value) {
  pugi::xml_node element = elementAtPath(document, path, '.');
  if (!element) return false;
  if (!element.first_child()) element.append_child(pugi::node_pcdata);
  // An element as first child refuses a value; the path itself was found.
  element.first_child().set_value(value.c_str());
  return true;
}

bool xmlPortal::getValuesAtPath(const StringList& path, pugi::xml_document& document,
                                std::vector<double>& values, char separator) {
  const pugi::xml_node element = elementAtPath(document, path, separator);
  if (!element) return false;
  const String text = element.child_value();
  if (text.empty()) return false;
  if (text.find('\n') == String::npos) {
    values.push_back(ORLIX::Portals::toNumber(text));
    return true;
  }
  String::size_type start = 0;
  for (;;) {
    const auto end = text.find('\n', start);
    values.push_back(ORLIX::Portals::toNumber(
        text.substr(start, end == String::npos ? String::npos : end - start)));
    if (end == String::npos) break;
    start = end + 1;
  }
  return true;
}

bool xmlPortal::getValuesAtDottedPath(const StringList& path, pugi::xml_document& document,
                                      std::vector<double>& values) {
  return getValuesAtPath(path, document, values, '.');
}

bool xmlPortal::updateXmlInputs(const StringStringMap& analysisProps, String& message) {
  const StringList files = ORLIX::Portals::splitList(analysisProps["inputFilepaths"]);
  StringList tagFiles = ORLIX::Portals::splitList(analysisProps["inputTagFilepaths"]);
  ORLIX::Portals::padList(tagFiles, files.size());
  keepPortalTagFiles(files, tagFiles, true);

  for (std::size_t i = 0; i < files.size(); ++i) {
    if (tagFiles[i].empty()) continue;
    const String& file = files[i];
    TagList tags;
    if (!cachedInputTags(*this, tagFiles[i], baseName(file, true), tags)) continue;
    if (!service()) {
      ORLIX::Portals::appendError(message, "No host service to ask for the values of %1.", file);
      return false;
    }

    pugi::xml_document document;
    String failure;
    if (!ORLIX::Portals::loadXmlFile(file, pugi::parse_default, document, failure)) {
      ORLIX::Portals::appendLine(message, failure);
      continue;
    }
    for (const auto& tag : tags) {
      const String value =
          service()->parameterValue(tag.paramType, tag.paramName, file, tag.get("format"), message);
      if (!setValueAtPath(tag.path, document, value)) {
        message += "\nFailed to write the value for " + tag.paramName;
      }
    }
    // Through a temporary file and a rename: the input is never half written.
    const String temp = file + ".temp";
    std::wstring wideTemp;
    String pathError;
    const bool saved = ORLIX::Portals::toWidePath(temp, wideTemp, pathError) &&
                       document.save_file(wideTemp.c_str(), "  ") &&
                       ORLIX::Support::File::rename(temp, file);
    if (!saved) {
      ORLIX::Support::File::remove(temp);
      message += "\nUnable to write the modified file to " + file;
      return false;
    }
  }
  return !ORLIX::Portals::hasError(message);
}
