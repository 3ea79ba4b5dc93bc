#include "tagging/mark/mark_tag_file.h"

#include <cstdlib>
#include <utility>

#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/text.h"
#include "tagging/tag_file_output.h"
#include "tagging/tagged_files.h"

namespace ORLIX {
namespace Portals {

const char* const kDefaultMarkDelims = "\\,;\"=()'\\t\\s";
const char* const kDefaultMarkWidths = "10";

namespace {

const char* const kModule = "Marking";

// Escaped commas and backslashes of a delimiter field must survive the split
// of the line at commas; they hide behind markers until the split is done.
const char* const kSlashMarker = "*SLASH*";
const char* const kCommaMarker = "*COMMA*";

String joinPath(const StringList& path) { return join(path, "."); }

// Lines 1 to 10: what the file is, which analysis file it tags, how many tags,
// and the analysis' default delimiters and widths.
String header(const String& version, const String& baseName, int tagCount,
              const String& delims, const String& widths) {
  String text = tagFileOpening("marking", version, baseName);
  text += "$ Tag type, Num tags\n";
  text += "MARKING, " + std::to_string(tagCount) + "\n";
  text += "$ Default delimited (free) parser (\\s=space \\t=tab \\,=comma \\\\=backslash)\n";
  text += delims + "\n";
  text += "$ Default fixed parser (*=remainder of line)\n";
  text += widths + "\n";
  text += "$ Mode, Row, Delims, Col, Param type, Param name, Print Fmt\n";
  return text;
}

}  // namespace

String markTagLine(const TagData& tag) {
  // The missing blank between the second and third field is part of the format.
  return tag.get("mode") + ", " + tag.get("row") + "," + tag.get("delims") + ", " +
         tag.get("col") + ", " + tag.paramType + ", " + tag.paramName + ", " +
         tag.get("format");
}

bool parseMarkTagLine(const String& line, TagData& tag) {
  String protectedLine = replaceAll(line, "\\\\", kSlashMarker);
  protectedLine = replaceAll(protectedLine, "\\,", kCommaMarker);
  const StringList fields = splitAt(protectedLine, ',');
  if (fields.size() != 7) return false;

  tag.attributes.reserve(tag.attributes.size() + 6);  // with "filename", added by the reader
  // Only the delimiter field is an escaped text; elsewhere a marker stays.
  String delims = replaceAll(fields[2], kSlashMarker, "\\\\");
  delims = replaceAll(delims, kCommaMarker, "\\,");
  tag.add("mode", fields[0]);
  tag.add("row", fields[1]);
  tag.add("delims", delims);
  tag.add("col", fields[3]);
  tag.paramType = fields[4];
  tag.paramName = fields[5];
  tag.add("format", fields[6]);
  return true;
}

bool writeMarkTagFile(const String& baseName, const TagList& tags,
                      const StringStringMap& analysisProps, StringStringMap& outData,
                      bool isInput, String& message) {
  const String& destDir = analysisProps["destDir"];
  // Key lines are asked for by defining the variable at all, even empty.
  const bool withKeys = std::getenv("QZN_WRITE_TAGKEY") != nullptr;

  StringList lines;
  int tagCount = 0;
  for (const TagData& tag : tags) {
    if (tag.get("filename") != baseName) continue;
    if (withKeys) lines.push_back("$ TAGKEY = " + joinPath(tag.path));
    lines.push_back(markTagLine(tag));
    ++tagCount;
  }
  if (tagCount == 0) return true;

  const String& delims = analysisProps["delims"];
  const String& widths = analysisProps["widths"];
  const String fileName = engineTagFileName('M', baseName, analysisProps, isInput);
  if (!destDir.empty()) {
    const String content =
        header(analysisProps["version"], baseName, tagCount,
               delims.empty() ? String(kDefaultMarkDelims) : delims,
               widths.empty() ? String(kDefaultMarkWidths) : widths) +
        join(lines, "\n");
    if (!writeWholeFile(destDir + "/" + fileName, content)) {
      // No file, so no name handed back either: the host must not be told of
      // a tag file that does not exist.
      appendError(message, lookupMessage(kModule, ".err.writeMarkDefnFile"), baseName);
      return false;
    }
  }
  recordTagFile(outData, baseName, isInput, fileName);
  return true;
}

int readMarkTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                    TagList& tags, StringStringMap& outData, bool isInput, String& message) {
  if (tagFilePath.empty()) return -1;
  Support::FileReader reader(readablePath(tagFilePath), false);
  if (!reader.is_open()) {
    appendError(message, lookupMessage(kModule, ".err.openTagDefnFile"), tagFilePath);
    return 1;
  }

  String line;
  reader.getLine(line);  // the "$ File type" comment
  String fileType;
  if (reader.getLine(fileType)) fileType = trim(fileType);
  if (!startsWith(fileType, "marking")) return -1;

  const String& filename = analysisProps[isInput ? "inputFilename" : "outputFilename"];
  while (reader.getLine(line)) {
    line = trim(line);
    if (startsWith(line, "$")) continue;
    // The count is informative only: the tag lines themselves are what is read.
    if (startsWith(line, "MARKING,")) continue;
    if (!outData.contains("delims")) {
      outData.set("delims", line);
    } else if (!outData.contains("widths")) {
      outData.set("widths", line);
    } else if (!line.empty()) {
      TagData tag;
      if (!parseMarkTagLine(line, tag)) {
        appendError(message, lookupMessage(kModule, ".err.invalidTagData"), tagFilePath);
        return 1;
      }
      tag.add("filename", filename);
      tags.push_back(std::move(tag));
    }
  }
  return 0;
}

}  // namespace Portals
}  // namespace ORLIX
