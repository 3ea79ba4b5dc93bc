#include "portal/test_host.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace ORLIX {
namespace Portals {
namespace testing {

String TestService::parameterValue(const String&, const String& paramName, const String&,
                                   const String&, String&) {
  if (onParameterValue) onParameterValue(paramName);
  auto it = parameters.find(paramName);
  return it == parameters.end() ? String() : it->second;
}

void TestService::analysisProperty(const String& analysisName, const String& propertyKey,
                                   StringStringMap& out) {
  propertyRequests.push_back(analysisName + "/" + propertyKey);
  auto analysis = analysisProperties.find(analysisName);
  if (analysis == analysisProperties.end()) return;
  auto property = analysis->second.find(propertyKey);
  if (property != analysis->second.end()) out = property->second;
}

void TestService::reportResponse(const String& responseName, const StringStringMap& context,
                                 const ResponseValues& values) {
  reports.push_back(ReportedResponse{responseName, context, values});
}

void TestHost::message(const String& text, const String& analysisName, int evalId, int level) {
  messages.push_back(SentMessage{text, analysisName, evalId, level});
}

bool TestHost::runCommand(const String& program, const StringList& arguments,
                          String& workingFolder, const StringStringMap& options) {
  commandRuns.push_back(CommandRun{program, arguments, workingFolder, options});
  return onRunCommand ? onRunCommand(commandRuns.back()) : false;
}

String TestHost::setting(const String& key, const String& defaultValue) {
  settingRequests.push_back(key);
  auto it = settings.find(key);
  return it == settings.end() ? defaultValue : it->second;
}

IExtension* TestHost::extension(const String& type) {
  ++extensionRequests;
  return offerService && type == "Portal" ? &service : nullptr;
}

std::vector<String> TestHost::messageLines() const {
  std::vector<String> lines;
  for (const SentMessage& m : messages) lines.push_back(m.text + "@" + std::to_string(m.level));
  return lines;
}

String readWholeFile(const String& path) {
  std::ifstream in(path, std::ios::binary);
  return String(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ScopedEnv::ScopedEnv(const String& name, const char* value) : name_(name) {
  const char* old = std::getenv(name.c_str());
  hadValue_ = old != nullptr;
  if (old) oldValue_ = old;
  if (value) {
    setenv(name.c_str(), value, 1);
  } else {
    unsetenv(name.c_str());
  }
}

ScopedEnv::~ScopedEnv() {
  if (hadValue_) {
    setenv(name_.c_str(), oldValue_.c_str(), 1);
  } else {
    unsetenv(name_.c_str());
  }
}

TempFolder::TempFolder() {
  String pattern = (std::filesystem::temp_directory_path() / "portal-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temp folder");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

String TempFolder::write(const String& name, const String& content) const {
  const String full = file(name);
  std::filesystem::create_directories(std::filesystem::path(full).parent_path());
  std::ofstream(full, std::ios::binary) << content;
  return full;
}

}  // namespace testing
}  // namespace Portals
}  // namespace ORLIX
