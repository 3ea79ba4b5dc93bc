#include "tagging/script/script_tagging.h"

#include "portal/message_buffer.h"

// This version of the engine reads and writes no tag-definition files of its
// own: it recognises none (-1), refuses to write, and reports any file that the
// portal routes to it as an error instead of silently leaving it untouched.
namespace ORLIX {
namespace Portals {

ScriptTagging::~ScriptTagging() = default;

bool ScriptTagging::writeTagFile(const String& baseName, TagList& tags, const StringStringMap&,
                               bool isInput, String& message) const {
  if (tags.empty()) return false;
  appendError(message, "The %1 engine of this version cannot write %2 tags for %3.", name(),
              isInput ? "input" : "output", baseName);
  return false;
}

bool ScriptTagging::writeInputTagFile(const String& baseName, TagList& tags,
                                    const StringStringMap& analysisProps, StringStringMap&,
                                    String& message) {
  return writeTagFile(baseName, tags, analysisProps, true, message);
}

bool ScriptTagging::writeOutputTagFile(const String& baseName, TagList& tags,
                                     const StringStringMap& analysisProps, StringStringMap&,
                                     String& message) {
  return writeTagFile(baseName, tags, analysisProps, false, message);
}

int ScriptTagging::readInputTagFile(const String&, const StringStringMap&, TagList&,
                                  StringStringMap&, String&) {
  return -1;
}

int ScriptTagging::readOutputTagFile(const String&, const StringStringMap&, TagList&,
                                   StringStringMap&, String&) {
  return -1;
}

bool ScriptTagging::processInputTags(const StringStringMap& analysisProps, const HostValues*,
                                   String& message) {
  return refuseRoutedTagFiles("inputTagFilepaths", analysisProps, message);
}

bool ScriptTagging::processOutputTags(const StringStringMap& analysisProps, HostResponses*,
                                    String& message) {
  return refuseRoutedTagFiles("outputTagFilepaths", analysisProps, message);
}

void ScriptTagging::writeTagAttributes(pugi::xml_node&, const TagData&) {}

void ScriptTagging::readTagAttributes(const pugi::xml_node&, TagData&) {}

}  // namespace Portals
}  // namespace ORLIX
