#include "tagging/mark/mark_tagging.h"

#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "portal/file_replacement.h"
#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/properties.h"
#include "tagging/mark/line_copier.h"
#include "tagging/mark/mark_tag_file.h"
#include "tagging/tagged_files.h"

namespace ORLIX {
namespace Portals {
namespace {

using Support::File;

String environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? String(value) : String();
}

int toInt(const String& text) { return truncateToInt(toNumber(text)); }

// Capacity kept free behind a line longer than the copier's block: the values
// written into it, and its line end, fit without moving the line.
constexpr std::size_t kValueRoom = std::size_t(1) << 16;

void setAttribute(pugi::xml_node node, const char* name, const String& value) {
  pugi::xml_attribute attribute = node.attribute(name);
  if (!attribute) attribute = node.append_attribute(name);
  attribute.set_value(value.c_str());
}

}  // namespace

MarkTagging::~MarkTagging() = default;

bool MarkTagging::writeInputTagFile(const String& baseName, TagList& tags,
                                    const StringStringMap& analysisProps,
                                    StringStringMap& outData, String& message) {
  return writeMarkTagFile(baseName, tags, analysisProps, outData, true, message);
}

bool MarkTagging::writeOutputTagFile(const String& baseName, TagList& tags,
                                     const StringStringMap& analysisProps,
                                     StringStringMap& outData, String& message) {
  return writeMarkTagFile(baseName, tags, analysisProps, outData, false, message);
}

int MarkTagging::readInputTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                                  TagList& tags, StringStringMap& outData, String& message) {
  return readMarkTagFile(tagFilePath, analysisProps, tags, outData, true, message);
}

int MarkTagging::readOutputTagFile(const String& tagFilePath,
                                   const StringStringMap& analysisProps, TagList& tags,
                                   StringStringMap& outData, String& message) {
  return readMarkTagFile(tagFilePath, analysisProps, tags, outData, false, message);
}

bool MarkTagging::processInputTags(const StringStringMap& analysisProps, const HostValues*,
                                   String& message) {
  if (!service()) return false;
  const StringList files = splitList(analysisProps["inputFilepaths"]);
  StringList tagFiles = splitList(analysisProps["inputTagFilepaths"]);
  padList(tagFiles, files.size());
  const TagFileReader reader = [this](const String& path, const StringStringMap& props,
                                      TagList& tags, StringStringMap& outData,
                                      String& readMessage) {
    return readInputTagFile(path, props, tags, outData, readMessage);
  };

  for (std::size_t i = 0; i < files.size(); ++i) {
    if (tagFiles[i].empty()) continue;
    const String tagFile = matchingTagFile(files[i], tagFiles);
    if (!tagFile.empty()) {
      appendError(message, lookupMessage(".err.inputIsTagFile"), files[i], tagFile);
      return false;
    }
    const std::shared_ptr<const TagList> tags =
        sharedInputTags(reader, tagFiles[i], File::base(files[i], true));
    if (!tags || tags->empty()) continue;
    if (!markInputFile(files[i], tagRowsOf(*tags), message)) return false;
  }
  return !hasError(message);
}

// Streams F into F.temp, so memory stays flat whatever F's size. Untagged
// lines pass on as they are, in blocks (a large file with a few tags is mostly
// copying); a tagged line gets its values in place.
bool MarkTagging::markInputFile(const String& inputPath, const TagRowRefs& rows,
                                String& message) {
  Support::FileReader reader(readablePath(inputPath), false);
  if (!reader.is_open()) {
    appendError(message, lookupMessage(".err.openInputFile"), inputPath);
    return false;
  }
  const String tempPath = inputPath + ".temp";
  Support::FileWriter writer(tempPath, false);
  if (!writer.is_open()) {
    appendError(message, lookupMessage(".err.writeTempFile"), inputPath, tempPath);
    return false;
  }

  LineCopier copier(reader, writer);
  String line;
  for (const auto& row : rows.rows) {
    if (row.number < copier.nextLineNumber()) continue;  // rows below 1 name no line
    if (!copier.copyUntil(row.number) || !copier.takeLine(line, kValueRoom)) break;
    if (!markTakenLine(line, copier.takenLineEnded(), row.number, rows.tagsOf(row), inputPath,
                       message)) {
      // F.temp keeps the lines before this one; F itself is not touched.
      copier.flush();
      return false;
    }
    copier.write(line);
  }
  copier.finish();

  // A read or write that broke off (an I/O error, a full disk) must not make a
  // truncated F.temp replace F, nor stay behind to keep the disk full.
  const bool readFailed = copier.readFailed();
  reader.close();
  writer.close();
  if (readFailed || writer.fail()) {
    removePartialFile(tempPath);
    if (readFailed) appendError(message, lookupMessage(".err.openInputFile"), inputPath);
    else appendError(message, lookupMessage(".err.writeTempFile"), inputPath, tempPath);
    return false;
  }
  replaceByMarked(inputPath, message);
  return true;
}

// A carriage return before the line feed ends the line like the feed does: it
// is no field's last character, and the line keeps it. A line whose tags
// write nothing keeps its bytes exactly; one that got a value ends with a
// line feed, a last line that had none included.
bool MarkTagging::markTakenLine(String& line, bool ended, int lineNumber,
                                const TagRowRange& rowTags, const String& inputPath,
                                String& message) {
  const bool carriageReturn = !line.empty() && line.back() == '\r';
  if (carriageReturn) line.pop_back();
  bool written = false;
  if (!markLine(line, lineNumber, rowTags, inputPath, written, message)) return false;
  if (carriageReturn) line += '\r';
  if (written || ended) line += '\n';
  return true;
}

bool MarkTagging::markLine(String& line, int lineNumber, const TagRowRange& rowTags,
                           const String& inputPath, bool& written, String& message) {
  // Last to first: with columns of equal digit count the rightmost field is
  // written first, so a value holding delimiters cannot shift a field still
  // to be written.
  for (auto at = rowTags.end(); at != rowTags.begin();) {
    const TagData* const tag = *--at;
    const String& mode = tag->get("mode");
    const String& delims = tag->get("delims");
    const String value =
        service()->parameterValue(tag->paramType, tag->paramName, inputPath,
                                  tag->get("format"), message);
    const int column = toInt(tag->get("col"));
    if (mode == "free") {
      String delimiterSet;
      // A bad delimiter text is reported; the delimiters decoded before it apply.
      parseDelimiters(delims, delimiterSet, message);
      if (!replaceDelimitedTokenInPlace(column, line, lineNumber, inputPath, delimiterSet,
                                        value, message)) {
        return false;
      }
    } else if (mode == "fixed") {
      // Widths that cannot give the tag's column leave it without a field: that
      // fails like a field that cannot be written, rather than writing at the
      // positions reached before the bad width, which belong to another column.
      int start = 1;
      int end = 0;
      if (!fixedColumnRange(line, delims, column, start, end, message) ||
          !replaceFixedTokenInPlace(start, end, line, lineNumber, inputPath, value, message)) {
        return false;
      }
    } else {
      continue;
    }
    written = true;
  }
  return true;
}

void MarkTagging::replaceByMarked(const String& inputPath, String& message) {
  const String tempPath = inputPath + ".temp";
  if (isTrue(environment("QZN_PRESERVE_TAGGED_FILE_STAGES"))) {
    // The stages are for looking at, not for the run: failing to keep them
    // warns (whatever the identifier says) or passes silently, and marking goes on.
    if (!File::rename(inputPath, inputPath + ".orig")) {
      appendWarning(message, lookupMessage(".err.renameOrigFile"));
    }
    File::copy(tempPath, inputPath + ".afterMarking");
  }
  // F is still there unless it just became F.orig; a refused rename puts it
  // back as it was.
  const FileReplacement replaced = replaceByTemp(tempPath, inputPath);
  if (replaced.deleteFailed) {
    appendError(message, lookupMessage(".err.deleteOrigFile"), inputPath);
  }
  if (!replaced.renamed) {
    appendError(message, lookupMessage(".err.renameModFile"), tempPath, inputPath);
  }
}

bool MarkTagging::processOutputTags(const StringStringMap& analysisProps, HostResponses*,
                                    String& message) {
  if (!service()) return false;
  const StringList files = splitList(analysisProps["outputFilepaths"]);
  StringList tagFiles = splitList(analysisProps["outputTagFilepaths"]);
  padList(tagFiles, files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (tagFiles[i].empty()) continue;
    if (!extractOutputFile(files[i], tagFiles[i], analysisProps, message)) return false;
  }
  return !hasError(message);
}

bool MarkTagging::extractOutputFile(const String& outputPath, const String& tagFilePath,
                                    const StringStringMap& analysisProps, String& message) {
  appendNote(message, lookupMessage(".msg.processOutputTags"), outputPath);
  const String baseName = File::base(outputPath, true);
  StringStringMap fileProps;
  fileProps.set("outputFilename", baseName);
  TagList tags;
  StringStringMap outData;
  // A tag file that breaks off has its message in `message`; the tags read
  // before the bad line are still extracted.
  readOutputTagFile(tagFilePath, fileProps, tags, outData, message);
  const TagRowRefs rows = tagRowsOf(tags);

  const Support::FileBufferedReader reader(readablePath(outputPath));
  if (!reader.isOpen()) {
    appendError(message, lookupMessage(".err.openOutputFile"), outputPath);
    return false;
  }
  for (const auto& entry : rows.rows) {
    const int row = entry.number;
    if (row < 1 || row > reader.numLines()) {
      for (const TagData* tag : rows.tagsOf(entry)) {
        reportResponseError(tag->paramName, analysisProps,
                            formatMessage(lookupMessage(".err.storeRespValue"), tag->paramName,
                                          numberText(row), baseName));
      }
      continue;
    }
    const String line = reader.getLine(row - 1);
    for (const TagData* const tagRef : rows.tagsOf(entry)) {
      const TagData& tag = *tagRef;
      const String& mode = tag.get("mode");
      const String& delims = tag.get("delims");
      const int tagRow = toInt(tag.get("row"));
      const int column = toInt(tag.get("col"));
      String token;
      bool extracted = false;
      if (mode == "free") {
        String delimiterSet;
        parseDelimiters(delims, delimiterSet, message);
        extracted = extractDelimitedToken(column, line, tagRow, outputPath, delimiterSet, token,
                                          message);
      } else if (mode == "fixed") {
        int start = 1;
        int end = 0;
        // As in marking, widths that cannot give the column leave no field to read.
        extracted = fixedColumnRange(line, delims, column, start, end, message) &&
                    extractFixedToken(start, end, line, tagRow, outputPath, token, message);
      } else {
        continue;
      }
      if (!extracted) {
        reportResponseError(tag.paramName, analysisProps,
                            formatMessage(lookupMessage(".err.extractRespValue"), tag.paramName));
        continue;
      }
      reportToken(tag, token, analysisProps);
    }
  }
  return true;
}

void MarkTagging::reportToken(const TagData& tag, const String& token,
                              const StringStringMap& analysisProps) {
  StringStringMap typeInfo;
  service()->analysisProperty(analysisProps["analysisDir"], "responseDataType#" + tag.paramName,
                              typeInfo);
  ResponseValues values;
  if (typeInfo["responseDataType"] == "Numeric") {
    double number = 0.0;
    if (!readsAsNumber(token, number)) {
      reportResponseError(tag.paramName, analysisProps,
                          formatMessage(lookupMessage(".err.convertStringToNum"), tag.paramName,
                                        token));
      return;
    }
    values.numbers.push_back(number);
  } else {
    values.texts.push_back(token);
  }
  reportResponseValues(tag.paramName, analysisProps, values);
}

void MarkTagging::writeDocumentAttributes(pugi::xml_document& document,
                                          const StringStringMap& analysisProps) {
  const String& delims = analysisProps["delims"];
  const String& widths = analysisProps["widths"];
  pugi::xml_node root = document.document_element();
  setAttribute(root, "delims", delims.empty() ? String(kDefaultMarkDelims) : delims);
  setAttribute(root, "widths", widths.empty() ? String(kDefaultMarkWidths) : widths);
}

void MarkTagging::writeTagAttributes(pugi::xml_node& tagElement, const TagData& tag) {
  for (const char* key : {"row", "col", "delims"}) setAttribute(tagElement, key, tag.get(key));
}

void MarkTagging::readTagAttributes(const pugi::xml_node& tagElement, TagData& tag) {
  for (const char* key : {"row", "col", "delims"}) {
    tag.add(key, tagElement.attribute(key).value());
  }
}

}  // namespace Portals
}  // namespace ORLIX
