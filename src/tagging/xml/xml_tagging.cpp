#include "tagging/xml/xml_tagging.h"

#include "portal/message_buffer.h"

// This version of the engine reads and writes no tag-definition files of its
// own: it recognises none (-1), refuses to write, and reports any file that the
// portal routes to it as an error instead of silently leaving it untouched.
namespace ORLIX {
namespace Portals {

XmlTagging::~XmlTagging() = default;

bool XmlTagging::writeTagFile(const String& baseName, TagList& tags, const StringStringMap&,
                               bool isInput, String& message) const {
  if (tags.empty()) return false;
  appendError(message, "The %1 engine of this version cannot write %2 tags for %3.", name(),
              isInput ? "input" : "output", baseName);
  return false;
}

bool XmlTagging::writeInputTagFile(const String& baseName, TagList& tags,
                                    const StringStringMap& analysisProps, StringStringMap&,
                                    String& message) {
  return writeTagFile(baseName, tags, analysisProps, true, message);
}

bool XmlTagging::writeOutputTagFile(const String& baseName, TagList& tags,
                                     const StringStringMap& analysisProps, StringStringMap&,
                                     String& message) {
  return writeTagFile(baseName, tags, analysisProps, false, message);
}

int XmlTagging::readInputTagFile(const String&, const StringStringMap&, TagList&,
                                  StringStringMap&, String&) {
  return -1;
}

int XmlTagging::readOutputTagFile(const String&, const StringStringMap&, TagList&,
                                   StringStringMap&, String&) {
  return -1;
}

bool XmlTagging::processInputTags(const StringStringMap& analysisProps, const HostValues*,
                                   String& message) {
  return refuseRoutedTagFiles("inputTagFilepaths", analysisProps, message);
}

bool XmlTagging::processOutputTags(const StringStringMap& analysisProps, HostResponses*,
                                    String& message) {
  return refuseRoutedTagFiles("outputTagFilepaths", analysisProps, message);
}

void XmlTagging::writeTagAttributes(pugi::xml_node&, const TagData&) {}

void XmlTagging::readTagAttributes(const pugi::xml_node&, TagData&) {}

bool XmlTagging::processInputFile(const String& inputPath, TagList& tags, const StringStringMap&,
                                  String& message) {
  return tags.empty() || !refuseFile(inputPath, message);
}

bool XmlTagging::processOutputFile(const String& outputPath, TagList& tags,
                                   const StringStringMap&, String& message) {
  return tags.empty() || !refuseFile(outputPath, message);
}

bool XmlTagging::refuseFile(const String& path, String& message) const {
  appendError(message, "The Xml engine of this version cannot process %1.", path);
  return true;
}

}  // namespace Portals
}  // namespace ORLIX
