#include "study/success_checks.h"

#include <filesystem>
#include <fstream>
#include <regex>

namespace portalhost {
namespace {

std::string firstFinding(const FailIf& check, const std::string& folder) {
  std::ifstream in(folder + "/" + check.file, std::ios::binary);
  if (!in) return std::string();
  std::regex pattern;
  if (check.regex) pattern = std::regex(check.text);
  std::string line;
  for (std::size_t number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const bool found = check.regex ? std::regex_search(line, pattern) : line.find(check.text) != std::string::npos;
    if (found) {
      return check.file + " line " + std::to_string(number) + (check.regex ? " matches \"" : " contains \"") +
             check.text + "\": " + shortened(line);
    }
  }
  return std::string();
}

}  // namespace

std::string shortened(const std::string& text, std::size_t most) {
  return text.size() <= most ? text : text.substr(0, most) + "...";
}

std::vector<std::string> failIfFindings(const std::vector<FailIf>& checks, const std::string& folder) {
  std::vector<std::string> findings;
  for (const FailIf& check : checks) {
    const std::string finding = firstFinding(check, folder);
    if (!finding.empty()) findings.push_back(finding);
  }
  return findings;
}

std::vector<std::string> missingOutputs(const StudyTags& tags, const std::string& folder) {
  std::vector<std::string> missing;
  for (const TaggedPlace& output : tags.outputs) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(folder + "/" + output.placed, error)) {
      missing.push_back(output.placed + ": the solver left no such output file");
    }
  }
  return missing;
}

}  // namespace portalhost
