#include "discovery_session.h"

#include <algorithm>
#include <filesystem>

#include "study/design_run.h"
#include "study/study_model.h"
#include "study/tag_setup.h"
#include "xmlportal/tag_data.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;

StudyHost& configured(StudyHost& host, const DiscoveryOptions& options, const std::string& file) {
  const std::string name = fs::path(file).filename().string();
  host.workRoot = fs::path(file).parent_path().string();
  host.service.analysis["analysisPortalData"] = ORLIX::StringStringMap{
      {"Lines", "primaryInput: " + name + "\nprimaryOutput: " + name + "\nmodules: " + options.modules}};
  host.service.analysis["AnalysisProperty#install"] = ORLIX::StringStringMap{{"install", options.solver}};
  return host;
}

}  // namespace

DiscoverySession::DiscoverySession(const DiscoveryOptions& options, const std::string& file)
    : session_(options.portal.empty() ? PortalLibrary::defaultPath() : fs::absolute(options.portal).string(),
               configured(host_, options, file), "Brisol") {}

std::string existingFile(const std::string& path, const char* what) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) throw StudyError(std::string(what) + " " + path + " is not a file");
  return fs::absolute(path).lexically_normal().string();
}

std::vector<std::string> taggedNames(ORLIX::IPortal& portal, const std::string& tagFile, const std::string& file,
                                     bool isInput) {
  const ORLIX::StringStringMap props{{isInput ? "inputFilename" : "outputFilename", fs::path(file).filename().string()}};
  ORLIX::Portals::TagList tags;
  ORLIX::StringStringMap outData;
  std::string message;
  const int read = isInput ? portal.readInputTagData(tagFile, props, tags, outData, message)
                           : portal.readOutputTagData(tagFile, props, tags, outData, message);
  std::vector<std::string> problems;
  addPortalProblems(problems, message);
  if (read != 0 || !problems.empty()) {
    std::string text = tagFile + ": the portal cannot read this tag file";
    for (const std::string& line : problems) text += "; " + line;
    throw StudyError(text);
  }
  std::vector<std::string> names;
  for (const auto& tag : tags) {
    for (const std::string& name : tagNames(tag)) {
      if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
  }
  return names;
}

}  // namespace portalhost
