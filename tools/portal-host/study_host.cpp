#include "study_host.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "parameter_format.h"
#include "process_spawn.h"

namespace portalhost {

ORLIX::String StudyService::parameterValue(const ORLIX::String&, const ORLIX::String& paramName,
                                           const ORLIX::String&, const ORLIX::String& format,
                                           ORLIX::String& message) {
  auto found = design.find(paramName);
  if (found == design.end()) {
    if (!message.empty()) message += '\n';
    message += "ERROR: The study has no value for the parameter " + paramName + ".";
    return ORLIX::String();
  }
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", found->second);
  // The shortest text that reads back as the same number.
  for (int digits = 6; digits < 17; ++digits) {
    char shorter[40];
    std::snprintf(shorter, sizeof shorter, "%.*g", digits, found->second);
    if (std::strtod(shorter, nullptr) == found->second) {
      std::snprintf(text, sizeof text, "%s", shorter);
      break;
    }
  }
  return formatParameterValue(text, format.empty() ? "Default" : format);
}

void StudyService::analysisProperty(const ORLIX::String&, const ORLIX::String& propertyKey,
                                    ORLIX::StringStringMap& out) {
  auto found = analysis.find(propertyKey);
  if (found != analysis.end()) out = found->second;
}

void StudyService::reportResponse(const ORLIX::String& responseName,
                                  const ORLIX::StringStringMap& context,
                                  const ORLIX::ResponseValues& values) {
  ResponseOutcome& outcome = responses[responseName];
  if (context["errorInCall"] == "true") {
    outcome.error = context["message"];
    return;
  }
  outcome.numbers = values.numbers;
}

void StudyHost::message(const ORLIX::String& text, const ORLIX::String&, int, int level) {
  if (level == 2 || level == 4) errors.push_back((level == 2 ? "error: " : "warning: ") + text);
}

bool StudyHost::runCommand(const ORLIX::String& program, const ORLIX::StringList& arguments,
                           ORLIX::String& workingFolder, const ORLIX::StringStringMap& options) {
  if (program.empty()) {
    if (options["sub"].empty()) return false;
    workingFolder = workRoot + "/" + options["sub"];
    std::error_code ignored;
    std::filesystem::create_directories(workingFolder, ignored);
    return true;
  }
  const auto start = std::chrono::steady_clock::now();
  const bool ok = runToEnd(program, arguments, workingFolder,
                           (designFolder_.empty() ? workingFolder : designFolder_) + "/host-commands.out");
  commandSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return ok;
}

ORLIX::String StudyHost::setting(const ORLIX::String&, const ORLIX::String& defaultValue) {
  return defaultValue;
}

ORLIX::IExtension* StudyHost::extension(const ORLIX::String& type) {
  return type == "Portal" ? &service : nullptr;
}

void StudyHost::startDesign(const Design& values, const std::string& folder) {
  service.design = values;
  service.responses.clear();
  errors.clear();
  commandSeconds = 0;
  designFolder_ = folder;
}

}  // namespace portalhost
