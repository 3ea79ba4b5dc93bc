#include "study/setup_check.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#include "process_group.h"
#include "study/design_folder.h"
#include "study/design_run.h"
#include "study/key_check.h"
#include "study/update_probe.h"
#include "xmlportal/tag_data.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;

std::string fileName(const std::string& path) { return fs::path(path).filename().string(); }

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The portal sorts tag files by the start of their names and keeps one only
// when its first two lines are of that kind; anything else it leaves out
// without a word.
std::string routingProblem(const std::string& path, bool isInput) {
  const std::string name = fileName(path);
  const std::string direction = isInput ? "in_" : "out_";
  char kind = 0;
  for (char k : {'M', 'X', 'S', 'P'}) {
    if (name.rfind(std::string(1, k) + "_" + direction, 0) == 0) kind = k;
  }
  if (kind == 0) {
    return "the portal ignores it: a tag file's name must start with M_" + direction + ", S_" + direction + ", X_" +
           direction + " or P_" + direction;
  }
  std::ifstream in(path, std::ios::binary);
  std::string first, second;
  std::getline(in, first);
  std::getline(in, second);
  const bool fits = kind == 'M'   ? second.rfind("marking", 0) == 0
                    : kind == 'S' ? second.rfind("scripting", 0) == 0
                    : kind == 'X' ? first.find("xml") != std::string::npos ||
                                        second.find("TagDefinition") != std::string::npos
                                  : second.rfind("portal", 0) == 0 || (second.find("Portal") != std::string::npos &&
                                                                       first.find("xml") != std::string::npos);
  if (fits) return std::string();
  const char* kinds = kind == 'M' ? "Mark" : kind == 'S' ? "Script" : kind == 'X' ? "XML" : "portal";
  return std::string("the portal ignores it: its name is a ") + kinds +
         " tag file's, but its first two lines are not those of one";
}

using NamedBy = std::map<std::string, std::vector<std::string>>;  // value name -> labels of the tags naming it

// Reads each tag file as the portal will and notes which names its tags
// carry; false when one of them cannot be read.
bool readTagFiles(ORLIX::IPortal& portal, const std::vector<TaggedPlace>& places, bool isInput, NamedBy& named,
                  SetupReport& report) {
  bool allRead = true;
  for (const TaggedPlace& place : places) {
    if (place.tagFile.empty()) continue;
    const std::string where = place.label + ", tag file " + fileName(place.tagFile);
    const std::string routing = routingProblem(place.tagFile, isInput);
    if (!routing.empty()) {
      report.problems.push_back(where + ": " + routing);
      allRead = false;
      continue;
    }
    const ORLIX::StringStringMap props{{isInput ? "inputFilename" : "outputFilename", fileName(place.placed)}};
    ORLIX::Portals::TagList tags;
    ORLIX::StringStringMap outData;
    std::string message;
    const int read = isInput ? portal.readInputTagData(place.tagFile, props, tags, outData, message)
                             : portal.readOutputTagData(place.tagFile, props, tags, outData, message);
    std::vector<std::string> said;
    addPortalProblems(said, message);
    if (read != 0 || !said.empty()) {
      std::string text = where + ": the portal cannot read it";
      for (const std::string& line : said) text += "; " + line;
      report.problems.push_back(text);
      allRead = false;
      continue;
    }
    for (const auto& tag : tags) {
      for (const std::string& name : tagNames(tag)) named[name].push_back(where);
    }
  }
  return allRead;
}

std::string namedNowhere(const std::string& what, const std::string& name, const NamedBy& named,
                         const std::set<std::string>& studyNames, bool allRead) {
  std::string text = what + " \"" + name + "\": no tag " + (allRead ? "" : "the portal can read ") + "names it";
  std::vector<std::string> strangers;
  for (const auto& [other, labels] : named) {
    if (!studyNames.count(other)) strangers.push_back(other);
  }
  const std::string nearest = closestKey(name, strangers);
  if (!nearest.empty()) text += " (a tag names \"" + nearest + "\", which the study does not have)";
  return text;
}

std::string joined(const std::vector<std::string>& texts, const char* separator) {
  std::string out;
  for (std::size_t i = 0; i < texts.size(); ++i) out += (i ? separator : "") + texts[i];
  return out;
}

// Probing costs one update of every input per parameter: beyond this many
// bytes in all, each parameter is only checked to be asked for by the portal.
constexpr std::uintmax_t kMostProbedBytes = std::uintmax_t{2} << 30;

bool worthProbing(const Study& study, SetupReport& report) {
  std::uintmax_t bytes = 0;
  for (const PlacedFile& file : designFiles(study)) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(file.source, error);
    if (!error) bytes += size;
  }
  if (bytes * study.parameters.size() <= kMostProbedBytes) return true;
  report.findings.push_back("parameters not probed one by one (" + std::to_string(study.parameters.size()) +
                            " parameters over " + std::to_string(bytes >> 20) +
                            " MiB of inputs): each was only checked to be asked for by the portal");
  return false;
}

void checkParameters(UpdateProbe& probe, const Study& study, const StudyTags& tags, const NamedBy& named,
                     bool allRead, SetupReport& report) {
  const ProbeUpdate base = probe.updateBase(study.designs.at(0));
  const bool probing = base.ok && worthProbing(study, report);
  if (!base.ok || !base.problems.empty()) {
    std::string text = "writing the first design's values into the inputs fails";
    for (const std::string& line : base.problems) text += "; " + line;
    report.problems.push_back(text);
  }
  std::set<std::string> studyNames;
  for (const StudyParameter& p : study.parameters) studyNames.insert(p.name);
  for (const StudyParameter& p : study.parameters) {
    const auto tagged = named.find(p.name);
    if (tagged == named.end()) {
      report.problems.push_back(namedNowhere("parameter", p.name, named, studyNames, allRead));
      continue;
    }
    const std::string where = joined(tagged->second, " and ");
    if (!base.asked.count(p.name)) {
      report.problems.push_back("parameter \"" + p.name + "\": the portal wrote it nowhere: its tag in " + where +
                                " reaches no place in the file");
      continue;
    }
    // Where the update itself fails, a changed value proves nothing either way.
    if (!probing) continue;
    const std::vector<ProbedLine> lines = probe.linesOf(p.name, 3);
    if (lines.empty()) {
      report.problems.push_back("parameter \"" + p.name + "\": the portal wrote it nowhere: the file is unchanged "
                                "where its tag in " + where + " points");
      continue;
    }
    for (const ProbedLine& line : lines) {
      report.findings.push_back("parameter \"" + p.name + "\" -> " + tags.inputs[line.input].placed + " line " +
                                std::to_string(line.line) + ": " + trimmed(line.text));
    }
  }
}

void checkResponses(const Study& study, const NamedBy& named, bool allRead, SetupReport& report) {
  std::set<std::string> studyNames;
  for (const StudyResponse& r : study.responses) studyNames.insert(r.name);
  for (const StudyResponse& r : study.responses) {
    const auto tagged = named.find(r.name);
    if (tagged == named.end()) {
      report.problems.push_back(namedNowhere("response", r.name, named, studyNames, allRead));
    } else {
      report.findings.push_back("response \"" + r.name + "\" <- " + joined(tagged->second, " and "));
    }
  }
}

}  // namespace

void checkSolverProgram(const Study& study, const std::string& extraPath, bool runsHere, SetupReport& report) {
  const bool brisolForm = study.solver.command.empty();
  const std::string program = brisolForm ? study.solver.program : study.solver.command.front();
  const std::string where = brisolForm ? "solver" : "solver.command";
  if (program.find('{') != std::string::npos) return;  // known only per design
  const char* path = std::getenv("PATH");
  std::string searchPath = path ? path : "";
  if (!extraPath.empty()) searchPath += (searchPath.empty() ? "" : ":") + extraPath;
  if (program.find('/') != std::string::npos && program.front() != '/') {
    // A relative path is read in the design folder: the study must put it there.
    const std::string placed = fs::path(program).lexically_normal().string();
    for (const PlacedFile& file : designFiles(study)) {
      if (file.placed != placed) continue;
      std::string why;
      if (findProgram(file.source, "", "", why).empty()) report.problems.push_back(where + ": " + why);
      return;
    }
    report.problems.push_back(where + ": " + program + " is not a file the study puts in the design folder "
                              "(list it under \"files\")");
    return;
  }
  std::string why;
  const std::string found = findProgram(program, searchPath, study.folder, why);
  if (found.empty() && !runsHere) {
    report.findings.push_back(where + ": " + why + " here; it must be on the cluster's nodes");
  } else if (found.empty()) {
    report.problems.push_back(where + ": " + why);
  } else {
    report.findings.push_back("solver: " + found);
  }
}

void checkTagging(ORLIX::IPortal& portal, StudyHost& host, const Study& study, const StudyTags& tags,
                  const std::string& scratchFolder, SetupReport& report) {
  NamedBy parameters, responses;
  const bool inputsRead = readTagFiles(portal, tags.inputs, true, parameters, report);
  const bool outputsRead = readTagFiles(portal, tags.outputs, false, responses, report);
  UpdateProbe probe(portal, host, study.name, tags, designFiles(study), scratchFolder);
  checkParameters(probe, study, tags, parameters, inputsRead, report);
  checkResponses(study, responses, outputsRead, report);
}

}  // namespace portalhost
