#include "tagging/script/script_tag_file.h"

#include <utility>

#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/text.h"
#include "tagging/script/script_state.h"
#include "tagging/tag_file_output.h"
#include "tagging/tagged_files.h"

namespace ORLIX {
namespace Portals {
namespace {

const char* const kListKeyword = "SET_PARAMETER_LIST(";
const char* const kNamesPlaceholder = "%names%";
const char* const kStartMarker = "$! Start tag script";
const char* const kEndMarker = "$! End tag script";

// Where the parameter list of `code` lies: between the "(" that ends the
// keyword and the first ")" after it. False when there is no complete list.
bool findParameterList(const String& code, std::size_t& begin, std::size_t& length) {
  const auto keyword = code.find(kListKeyword);
  if (keyword == String::npos) return false;
  begin = keyword + std::char_traits<char>::length(kListKeyword);
  const auto close = code.find(')', begin);
  if (close == String::npos) return false;
  length = close - begin;
  return true;
}

}  // namespace

void takeParameterList(String& code, String& paramName) {
  std::size_t begin = 0;
  std::size_t length = 0;
  if (!findParameterList(code, begin, length)) return;
  paramName = code.substr(begin, length);
  code.replace(begin, length, kNamesPlaceholder);
}

// Only a list that is exactly the placeholder is filled in: a script whose
// list names the parameters itself is written as it is.
String restoreParameterList(const String& code, const String& paramName) {
  std::size_t begin = 0;
  std::size_t length = 0;
  if (!findParameterList(code, begin, length) ||
      code.compare(begin, length, kNamesPlaceholder) != 0) {
    return code;
  }
  String restored = code;
  restored.replace(begin, length, paramName);
  return restored;
}

// The names of the parameters go back into the script, in place of
// "%names%": the reader takes them out of the script again, so a tag written
// and read back keeps its parameter list. A file that cannot be written is an
// error, and its name is not handed back: the host must not be told of a tag
// file that does not exist.
bool writeScriptTagFile(const String& fileName, const TagList& tags,
                        const StringStringMap& analysisProps, StringStringMap& outData,
                        bool isInput, String& message) {
  if (tags.empty()) return true;
  String body;
  for (const TagData& tag : tags) {
    body += kStartMarker;
    body += '\n';
    body += restoreParameterList(tag.get("code"), tag.paramName);
    body += '\n';
    body += kEndMarker;
    body += "\n\n";
  }
  const String name = engineTagFileName('S', fileName, analysisProps, isInput);
  const String& destDir = analysisProps["destDir"];
  if (!destDir.empty()) {
    const String header = tagFileOpening("scripting", analysisProps["version"], fileName) +
                          "SCRIPTING\n$! Number of tags: " + std::to_string(tags.size()) + "\n";
    if (!writeWholeFile(destDir + "/" + name, header + body)) {
      appendError(message, lookupMessage(kScriptModule, ".err.writeTagDefnFile"),
                  destDir + "/" + name);
      return false;
    }
  }
  recordTagFile(outData, fileName, isInput, name);
  return true;
}

int readScriptTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                      TagList& tags, bool isInput, String& message) {
  if (tagFilePath.empty()) return -1;
  Support::FileReader reader(readablePath(tagFilePath), false);
  if (!reader.is_open()) {
    appendLine(message,
               formatMessage(lookupMessage(kScriptModule, ".err.openTagDefnFile"), tagFilePath));
    return 1;
  }
  String line;
  reader.getLine(line);  // "$ File type, version"
  String fileType;
  if (reader.getLine(fileType)) fileType = trim(fileType);
  if (!startsWith(fileType, "scripting")) return -1;

  const String& fileName = analysisProps[isInput ? "inputFilename" : "outputFilename"];
  bool inScript = false;
  String code;
  while (reader.getLine(line)) {
    // A file saved with CR LF line ends keeps no CR in its scripts; one
    // converted twice ends its lines "\r\r\n". A CR kept at a line's end would
    // be lost the next time the tag is written and read, so none is kept.
    while (!line.empty() && line.back() == '\r') line.pop_back();
    const String marker = trim(line);
    if (!inScript) {
      inScript = marker == kStartMarker;
      code.clear();
      continue;
    }
    if (marker != kEndMarker) {
      code += line;
      code += '\n';
      continue;
    }
    inScript = false;
    TagData tag;
    takeParameterList(code, tag.paramName);
    if (!code.empty() && code.back() == '\n') code.pop_back();
    tag.add("mode", "script");
    tag.add("code", code);
    tag.add("filename", fileName);
    tags.push_back(std::move(tag));
  }
  return 0;
}

}  // namespace Portals
}  // namespace ORLIX
