#include "tagging/script/script_tagging.h"

#include <cstdlib>
#include <utility>

#include "portal/file_replacement.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/properties.h"
#include "portal/text.h"
#include "tagging/script/command_line.h"
#include "tagging/script/script_interpreter.h"
#include "tagging/script/script_tag_file.h"
#include "tagging/script/script_trace.h"
#include "tagging/tagged_files.h"

// Choices the engine makes where a script or the host leaves it open:
// - Without a host service there are no values to write and nowhere to report
//   to: both flows do nothing and return false.
// - A script whose parameter list is empty has no current parameter: the
//   commands that need one fail (script_commands.cpp), and a failed output
//   script of that kind has no response to report as failed.
// - A SET command whose parameter has no value at its value index fails
//   rather than writing an invented one (script_set_commands.cpp).
// - After an output script fails, what it had extracted is dropped with it:
//   the values would otherwise be delivered with the next successful script
//   of the file, under responses that script never read.
namespace ORLIX {
namespace Portals {
namespace {

using Support::File;

bool preserveStages() {
  const char* value = std::getenv("QZN_PRESERVE_TAGGED_FILE_STAGES");
  return value != nullptr && isTrue(value);
}

std::size_t valuePieces(const String& values) {
  if (values.empty()) return 0;
  std::size_t pieces = 1;
  for (char c : values) pieces += c == '\n' ? 1 : 0;
  return pieces;
}

}  // namespace

ScriptTagging::~ScriptTagging() = default;

bool ScriptTagging::writeInputTagFile(const String& baseName, TagList& tags,
                                      const StringStringMap& analysisProps,
                                      StringStringMap& outData, String& message) {
  return writeScriptTagFile(baseName, tags, analysisProps, outData, true, message);
}

bool ScriptTagging::writeOutputTagFile(const String& baseName, TagList& tags,
                                       const StringStringMap& analysisProps,
                                       StringStringMap& outData, String& message) {
  return writeScriptTagFile(baseName, tags, analysisProps, outData, false, message);
}

int ScriptTagging::readInputTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                                    TagList& tags, StringStringMap&, String& message) {
  return readScriptTagFile(tagFilePath, analysisProps, tags, true, message);
}

int ScriptTagging::readOutputTagFile(const String& tagFilePath,
                                     const StringStringMap& analysisProps, TagList& tags,
                                     StringStringMap&, String& message) {
  return readScriptTagFile(tagFilePath, analysisProps, tags, false, message);
}

bool ScriptTagging::processInputTags(const StringStringMap& analysisProps, const HostValues*,
                                     String& message) {
  if (!service()) return false;
  const StringList inputs = splitList(analysisProps["inputFilepaths"]);
  StringList tagFiles = splitList(analysisProps["inputTagFilepaths"]);
  padList(tagFiles, inputs.size());
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (tagFiles[i].empty()) continue;
    const String tagFile = matchingTagFile(inputs[i], tagFiles);
    if (!tagFile.empty()) {
      appendError(message, lookupMessage(".err.inputIsTagFile"), inputs[i], tagFile);
      return false;
    }
    if (!scriptInputFile(inputs[i], tagFiles[i], message)) return false;
  }
  return !hasError(message);
}

ScriptState ScriptTagging::prepareState(const TagData& tag, const String& tagFilePath, bool isInput,
                                        const StringStringMap& analysisProps, String& message) {
  ScriptState state;
  state.lines = splitAt(tag.get("code"), '\n');
  state.traceLabel = tagFilePath;
  state.isInput = isInput;
  for (const String& name : splitAt(tag.paramName, ',')) {
    ScriptParameter parameter;
    parameter.name = name;
    if (isInput) {
      const String values = service()->parameterValue(String(), name, String(), "Default", message);
      parameter.valueCount = static_cast<int>(valuePieces(values));
    } else {
      StringStringMap typeInfo;
      service()->analysisProperty(analysisProps["analysisName"], "responseDataType#" + name,
                                  typeInfo);
      parameter.numeric = typeInfo["responseDataType"] == "Numeric";
    }
    state.parameters.push_back(std::move(parameter));
  }
  return state;
}

bool ScriptTagging::scriptInputFile(const String& inputPath, const String& tagFilePath,
                                    String& message) {
  const String fileName = File::base(inputPath, true);
  TagList tags;
  StringStringMap tagProps;
  tagProps.set("inputFilename", fileName);
  StringStringMap outData;
  // A tag file that cannot be opened leaves no scripts; the file is still
  // rewritten from its own rows.
  readInputTagFile(tagFilePath, tagProps, tags, outData, message);

  Support::FileBufferedReader reader(readablePath(inputPath));
  if (!reader.isOpen()) {
    appendError(message, lookupMessage(".err.openInputFile"), inputPath);
    return false;
  }
  openTrace(tagFilePath);
  ScriptTrace trace(scriptTrace_.is_open() ? &scriptTrace_ : nullptr);
  ScriptContext context{reader, service(), results_, trace, inputPath};
  ScriptInterpreter interpreter(context);
  ModifiedLines modifiedLines;
  for (const TagData& tag : tags) {
    ScriptState state = prepareState(tag, tagFilePath, true, StringStringMap(), message);
    state.modifiedLines = &modifiedLines;
    appendLine(message,
               bindArguments(lookupMessage(".msg.processInputTags"), {tag.paramName, fileName}));
    reader.gotoLine(0);
    trace.banner(tag.paramName, ScriptCursor(reader, modifiedLines).currentLineText());
    if (!interpreter.runScript(state, message)) {
      // Nothing of this call is written from here on: the file stays as it was.
      closeTrace(nullptr);
      return false;
    }
  }
  if (!writeScriptedFile(inputPath, reader, modifiedLines, message)) {
    closeTrace(nullptr);
    return false;
  }
  closeTrace(&message);
  replaceByScripted(inputPath, message);
  return true;
}

// Every row as the scripts left it, a line feed after each but the last (so a
// final line feed of the file is not kept). When no script wrote into a row,
// nothing is written into the file: it comes out byte for byte, its final
// line feed included. What a failed write left is removed (a full disk would
// stay full).
bool ScriptTagging::writeScriptedFile(const String& inputPath, Support::FileBufferedReader& reader,
                                      const ModifiedLines& modifiedLines, String& message) {
  const String tempPath = inputPath + ".temp";
  const bool written = modifiedLines.empty() ? File::copy(inputPath, tempPath)
                                             : writeRows(tempPath, reader, modifiedLines);
  if (written) return true;
  removePartialFile(tempPath);
  appendError(message, lookupMessage(".err.writeTempFile"), inputPath, tempPath);
  return false;
}

bool ScriptTagging::writeRows(const String& tempPath, Support::FileBufferedReader& reader,
                              const ModifiedLines& modifiedLines) {
  Support::FileWriter writer(tempPath, false);
  if (!writer.is_open()) return false;
  const ScriptCursor cursor(reader, modifiedLines);
  const int rows = reader.numLines();
  const std::size_t chunk = 1 << 20;
  String block;
  block.reserve(chunk + 4096);
  for (int row = 0; row < rows; ++row) {
    block += cursor.lineText(row);
    if (row + 1 < rows) block += '\n';
    if (block.size() >= chunk) {
      writer.write(block.data(), static_cast<std::streamsize>(block.size()));
      block.clear();
    }
  }
  writer.write(block.data(), static_cast<std::streamsize>(block.size()));
  writer.close();
  return !writer.fail();
}

void ScriptTagging::replaceByScripted(const String& inputPath, String& message) {
  const String tempPath = inputPath + ".temp";
  if (preserveStages()) {
    // An .orig from an earlier design is the true original and is kept.
    const String original = inputPath + ".orig";
    if (!File::exists(original) && !File::rename(inputPath, original)) {
      appendWarning(message, "Warning: could not rename original input file");
    }
    File::copy(tempPath, inputPath + ".afterScripting");  // for looking at only
  }
  // A refused rename puts the input back as it was.
  const FileReplacement replaced = replaceByTemp(tempPath, inputPath);
  if (replaced.deleteFailed) {
    appendError(message, lookupMessage(".err.deleteOrigFile"), inputPath);
  }
  if (!replaced.renamed) {
    appendError(message, lookupMessage(".err.renameModFile"), tempPath, inputPath);
  }
}

bool ScriptTagging::processOutputTags(const StringStringMap& analysisProps, HostResponses*,
                                      String& message) {
  if (!service()) return false;
  const StringList outputs = splitList(analysisProps["outputFilepaths"]);
  StringList tagFiles = splitList(analysisProps["outputTagFilepaths"]);
  padList(tagFiles, outputs.size());
  for (std::size_t i = 0; i < outputs.size(); ++i) {
    if (tagFiles[i].empty()) continue;
    if (!scriptOutputFile(outputs[i], tagFiles[i], analysisProps, message)) return false;
  }
  return !hasError(message);
}

bool ScriptTagging::scriptOutputFile(const String& outputPath, const String& tagFilePath,
                                     const StringStringMap& analysisProps, String& message) {
  const String fileName = File::base(outputPath, true);
  TagList tags;
  StringStringMap tagProps;
  tagProps.set("outputFilename", fileName);
  StringStringMap outData;
  readOutputTagFile(tagFilePath, tagProps, tags, outData, message);

  Support::FileBufferedReader reader(readablePath(outputPath));
  if (!reader.isOpen()) {
    appendError(message, lookupMessage(".err.openOutputFile"), outputPath);
    return false;
  }
  openTrace(tagFilePath);
  ScriptTrace trace(scriptTrace_.is_open() ? &scriptTrace_ : nullptr);
  ScriptContext context{reader, service(), results_, trace, outputPath};
  ScriptInterpreter interpreter(context);
  for (const TagData& tag : tags) {
    ScriptState state = prepareState(tag, tagFilePath, false, analysisProps, message);
    ModifiedLines unchanged;  // output scripts change no rows
    state.modifiedLines = &unchanged;
    appendLine(message,
               bindArguments(lookupMessage(".msg.processOutputTags"), {tag.paramName, fileName}));
    reader.gotoLine(0);
    trace.banner(tag.paramName, reader.getCurrentLine());
    if (interpreter.runScript(state, message)) {
      reportResults(analysisProps);
      continue;
    }
    if (state.hasParameter()) {
      const String& response = state.parameter().name;
      reportResponseError(response, analysisProps,
                          formatMessage(lookupMessage(".err.processResponses"), response));
    }
    results_.clear();
  }
  closeTrace(&message);
  return true;
}

// Numeric responses first, in name order, then the responses with texts only.
// The values are moved out: a column can hold millions of them.
void ScriptTagging::reportResults(const StringStringMap& analysisProps) {
  for (auto& entry : results_.numeric) {
    ResponseValues values;
    values.numbers = std::move(entry.second);
    const auto texts = results_.text.find(entry.first);
    if (texts != results_.text.end()) values.texts = std::move(texts->second);
    reportResponseValues(entry.first, analysisProps, values);
  }
  for (auto& entry : results_.text) {
    if (results_.numeric.count(entry.first) != 0) continue;
    ResponseValues values;
    values.texts = std::move(entry.second);
    reportResponseValues(entry.first, analysisProps, values);
  }
  results_.clear();
}

void ScriptTagging::openTrace(const String& tagFilePath) {
  if (!host() || !isTrue(host()->setting("scriptverbose", String()))) return;
  tracePath_ =
      File::parentFolder(tagFilePath) + "/" + File::base(tagFilePath, false) + ".script.out";
  // Best effort: a trace that cannot be created leaves the run without one.
  scriptTrace_.clear();
  scriptTrace_.open(tracePath_);
}

void ScriptTagging::closeTrace(String* message) {
  if (!scriptTrace_.is_open()) return;
  if (message) appendFormatted(*message, lookupMessage(".msg.processInfo"), tracePath_);
  scriptTrace_.close();
}

void ScriptTagging::writeTagAttributes(pugi::xml_node& tagElement, const TagData& tag) {
  tagElement.append_child(pugi::node_cdata).set_value(tag.get("code").c_str());
}

void ScriptTagging::readTagAttributes(const pugi::xml_node& tagElement, TagData& tag) {
  const pugi::xml_node first = tagElement.first_child();
  if (first.type() != pugi::node_cdata) return;
  for (TagAttribute& attribute : tag.attributes) {
    if (attribute.key == "code") {
      attribute.value = first.value();
      return;
    }
  }
  tag.add("code", first.value());
}

}  // namespace Portals
}  // namespace ORLIX
