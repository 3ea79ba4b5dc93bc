#include "tagging/mark/mark_tag_file.h"

#include <cstdlib>
#include <string_view>
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

// Without a copy: the tag lines of a large file mostly outgrow a short string.
void trimInPlace(String& line) {
  const std::string_view kept = trimmedView(line);
  if (kept.empty()) {
    line.clear();
    return;
  }
  line.erase(static_cast<std::size_t>(kept.data() - line.data()) + kept.size());
  line.erase(0, static_cast<std::size_t>(kept.data() - line.data()));
}

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

namespace {

// The seven fields of a tag line, in their order, into `tag`.
void fillTag(TagData& tag, std::string_view mode, std::string_view row, std::string_view delims,
             std::string_view col, std::string_view type, std::string_view name,
             std::string_view format) {
  tag.attributes.reserve(tag.attributes.size() + 6);  // with "filename", added by the reader
  tag.add("mode", String(mode));
  tag.add("row", String(row));
  tag.add("delims", String(delims));
  tag.add("col", String(col));
  tag.paramType.assign(type);
  tag.paramName.assign(name);
  tag.add("format", String(format));
}

}  // namespace

bool parseEscapedMarkTagLine(const String& line, TagData& tag) {
  String protectedLine = replaceAll(line, "\\\\", kSlashMarker);
  protectedLine = replaceAll(protectedLine, "\\,", kCommaMarker);
  const StringList f = splitAt(protectedLine, ',');
  if (f.size() != 7) return false;
  // Only the delimiter field is an escaped text; elsewhere a marker stays.
  String delims = replaceAll(f[2], kSlashMarker, "\\\\");
  delims = replaceAll(delims, kCommaMarker, "\\,");
  fillTag(tag, f[0], f[1], delims, f[3], f[4], f[5], f[6]);
  return true;
}

// The line's fields, cut at the commas that separate them: an escaped comma
// ("\,", its backslash not itself escaped) belongs to its field, as it does
// once the markers hide it. False unless there are exactly seven.
bool cutSevenFields(std::string_view line, std::string_view (&fields)[7]) {
  std::size_t count = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] == '\\') {
      if (i + 1 < line.size() && (line[i + 1] == '\\' || line[i + 1] == ',')) ++i;
      continue;
    }
    if (i < line.size() && line[i] != ',') continue;
    if (count == 7) return false;
    fields[count++] = trimmedView(line.substr(start, i - start));
    start = i + 1;
  }
  return count == 7;
}

bool parseMarkTagLine(const String& line, TagData& tag) {
  // Tag lines escape only in their delimiter field, where the escapes come back
  // as they were written: that field is its text as it stands. The markers'
  // copies of each line cost more than the rest of reading a file of a hundred
  // thousand tags, so they are left to the lines that need them: an escape in
  // another field (it turns into marker text there) or marker-like text.
  std::string_view fields[7];
  if (!cutSevenFields(line, fields)) return false;
  for (std::size_t i = 0; i < 7; ++i) {
    if (fields[i].find('*') != std::string_view::npos ||
        (i != 2 && fields[i].find('\\') != std::string_view::npos)) {
      return parseEscapedMarkTagLine(line, tag);
    }
  }
  fillTag(tag, fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6]);
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
    trimInPlace(line);
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
