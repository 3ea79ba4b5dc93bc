#include "study/study_host.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "parameter_format.h"
#include "study/number_text.h"
#include "process_group.h"

namespace portalhost {

ORLIX::String StudyService::parameterValue(const ORLIX::String&, const ORLIX::String& paramName,
                                           const ORLIX::String&, const ORLIX::String& format,
                                           ORLIX::String& message) {
  ++asked[paramName];
  for (const auto& [name, value] : design) {
    if (name == paramName) return formatParameterValue(exactNumber(value), format.empty() ? "Default" : format);
  }
  if (!message.empty()) message += '\n';
  message += "ERROR: The study has no parameter named " + paramName + ".";
  return ORLIX::String();
}

void StudyService::analysisProperty(const ORLIX::String&, const ORLIX::String& propertyKey,
                                    ORLIX::StringStringMap& out) {
  static const std::string kType = "responseDataType#";
  if (propertyKey.compare(0, kType.size(), kType) == 0) {
    auto found = textResponses.find(propertyKey.substr(kType.size()));
    out = ORLIX::StringStringMap{
        {"responseDataType", found != textResponses.end() && found->second ? "Text" : "Numeric"}};
    return;
  }
  auto found = analysis.find(propertyKey);
  if (found != analysis.end()) out = found->second;
}

void StudyService::reportResponse(const ORLIX::String& responseName, const ORLIX::StringStringMap& context,
                                  const ORLIX::ResponseValues& values) {
  ResponseOutcome& outcome = responses[responseName];
  if (context["errorInCall"] == "true") {
    outcome.error = context["message"].empty() ? "the portal reported an error" : context["message"];
    return;
  }
  outcome.numbers.insert(outcome.numbers.end(), values.numbers.begin(), values.numbers.end());
  outcome.texts.insert(outcome.texts.end(), values.texts.begin(), values.texts.end());
}

void StudyHost::message(const ORLIX::String& text, const ORLIX::String&, int, int level) {
  const bool error = level == static_cast<int>(ORLIX::MessageLevel::Error);
  if (error || level == static_cast<int>(ORLIX::MessageLevel::Warning)) {
    problems.push_back((error ? "error: " : "warning: ") + text);
  }
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
  const std::string log = (designFolder_.empty() ? workingFolder : designFolder_) + "/host-commands.out";
  const int output = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  LaunchRequest request;
  request.argv.push_back(program);
  request.argv.insert(request.argv.end(), arguments.begin(), arguments.end());
  request.folder = workingFolder;
  request.outputFd = output;
  bool ok = false;
  {
    ProcessGroup run(request);
    if (!run.started()) {
      problems.push_back("error: " + run.error());
    } else {
      const bool exited = run.waitFor(-1, wakeFd) == ProcessGroup::Wait::Exited;
      run.stop(0.5);
      ok = exited && run.exitCode() == 0;
    }
  }
  if (output >= 0) ::close(output);
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
  service.asked.clear();
  problems.clear();
  commandSeconds = 0;
  designFolder_ = folder;
}

}  // namespace portalhost
