#include "recording_host.h"

#include <filesystem>
#include <iostream>
#include <system_error>
#include <utility>

#include "command_runner.h"
#include "host_files.h"
#include "json_convert.h"
#include "parameter_format.h"

namespace portalhost {

ORLIX::String RecordingService::parameterValue(const ORLIX::String& paramType, const ORLIX::String& paramName,
                                               const ORLIX::String& filePath, const ORLIX::String& format,
                                               ORLIX::String& /*message*/) {
  recorder_.record("parameterValue", "type", paramType, "name", paramName, "file", filePath, "format", format);
  // One search for the common case: only an empty value needs a second to
  // tell a parameter given as "" from one not given at all.
  const ORLIX::String& value = behaviour_.parameters[paramName];
  if (value.empty() && !behaviour_.parameters.contains(paramName)) return ORLIX::String();
  return formatParameterValue(value, format);
}

void RecordingService::analysisProperty(const ORLIX::String& analysisName, const ORLIX::String& propertyKey,
                                        ORLIX::StringStringMap& out) {
  recorder_.record("analysisProperty", "analysisName", analysisName, "key", propertyKey);
  const auto analysis = behaviour_.analysisProperties.find(analysisName);
  if (analysis == behaviour_.analysisProperties.end()) return;
  const auto property = analysis->second.find(propertyKey);
  if (property == analysis->second.end()) return;
  out = property->second;
}

void RecordingService::reportResponse(const ORLIX::String& responseName, const ORLIX::StringStringMap& context,
                                      const ORLIX::ResponseValues& values) {
  recorder_.record("reportResponse", "name", responseName, "context", propsToJson(context), "numbers",
                   numbersToJson(values.numbers), "texts", textsToJson(values.texts));
}

void RecordingHost::message(const ORLIX::String& text, const ORLIX::String& analysisName, int evalId,
                            int level) {
  recorder_.record("message", "text", text, "analysisName", analysisName, "evalId", evalId, "level", level);
}

bool RecordingHost::runCommand(const ORLIX::String& program, const ORLIX::StringList& arguments,
                               ORLIX::String& workingFolder, const ORLIX::StringStringMap& options) {
  recorder_.record("runCommand", "program", program, "arguments", textsToJson(arguments), "folder", workingFolder,
                   "options", propsToJson(options));
  if (program.empty()) return makeSubFolder(workingFolder, options);

  const RunCommandAnswer& answer = takeAnswer();
  for (const auto& file : answer.writeFiles) {
    const std::filesystem::path target(file.first);
    const std::string path =
        target.is_absolute() || workingFolder.empty() ? file.first : workingFolder + "/" + file.first;
    try {
      writeTextFile(path, file.second);
    } catch (const HostFileError& error) {
      // The portal must not see a host-side failure as an exception; the
      // transcript will show the missing file.
      std::cerr << "portal-host: runCommand: " << error.what() << "\n";
    }
  }
  if (answer.execute) return runProgram(program, arguments, workingFolder);
  return answer.result;
}

bool RecordingHost::makeSubFolder(ORLIX::String& workingFolder, const ORLIX::StringStringMap& options) {
  if (!options.contains("sub")) return false;
  const std::string folder = behaviour_.workingFolder + "/" + options["sub"];
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    std::cerr << "portal-host: runCommand: cannot create " << folder << ": " << error.message() << "\n";
    return false;
  }
  workingFolder = folder;
  return true;
}

const RunCommandAnswer& RecordingHost::takeAnswer() {
  const std::size_t last = behaviour_.runCommand.size() - 1;
  const std::size_t index = nextAnswer_ < last ? nextAnswer_ : last;
  ++nextAnswer_;
  return behaviour_.runCommand[index];
}

ORLIX::String RecordingHost::setting(const ORLIX::String& key, const ORLIX::String& defaultValue) {
  recorder_.record("setting", "key", key, "default", defaultValue);
  return behaviour_.settings.contains(key) ? behaviour_.settings[key] : defaultValue;
}

ORLIX::IExtension* RecordingHost::extension(const ORLIX::String& type) {
  recorder_.record("extension", "type", type);
  if (type != "Portal") return nullptr;
  switch (behaviour_.service) {
    case ServiceChoice::Portal: return &service_;
    case ServiceChoice::Other: return &other_;
    case ServiceChoice::None: return nullptr;
  }
  return nullptr;
}

}  // namespace portalhost
