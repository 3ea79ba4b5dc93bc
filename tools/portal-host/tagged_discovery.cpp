// portal-host params / responses with --tags: what a tag file writes where in
// an input file, and what it reads from an output file now.
#include <stdlib.h>

#include <filesystem>
#include <iostream>

#include "discovery_session.h"
#include "host_files.h"
#include "json_convert.h"
#include "study/design_run.h"
#include "study/number_text.h"
#include "study/update_probe.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;

void printJson(const Json& json) { std::cout << json.dump(2, ' ', false, Json::error_handler_t::replace) << "\n"; }

}  // namespace

int taggedParameters(const DiscoveryOptions& options) {
  const std::string file = existingFile(options.file, "the input file");
  const std::string tagFile = existingFile(options.tags, "the tag file");
  DiscoverySession session(options, file);
  const std::vector<std::string> names = taggedNames(session.portal(), tagFile, file, true);
  ScratchFolder scratch;
  const std::string placed = fs::path(file).filename().string();
  StudyTags tags;
  tags.inputs.push_back({placed, tagFile, placed});
  UpdateProbe probe(session.portal(), session.host(), "inspect", tags, {{file, placed}}, scratch.path());
  Design base;
  for (const std::string& name : names) base.emplace_back(name, 1.0);
  const ProbeUpdate update = probe.updateBase(base);
  for (const std::string& problem : update.problems) std::cerr << problem << "\n";
  Json listing = Json::array();
  bool nowhere = false;
  for (const std::string& name : names) {
    const std::vector<ProbedLine> lines = update.asked.count(name) ? probe.linesOf(name) : std::vector<ProbedLine>();
    if (lines.empty()) {
      nowhere = true;
      if (!options.json) std::cout << name << "  writes nothing in " << placed << "\n";
      listing.push_back({{"parameter", name}, {"line", nullptr}, {"text", nullptr}});
    }
    for (const ProbedLine& line : lines) {
      if (!options.json) std::cout << name << "  " << placed << " line " << line.line << ": " << line.text << "\n";
      listing.push_back({{"parameter", name}, {"line", line.line}, {"text", line.text}});
    }
  }
  if (options.json) printJson(listing);
  return update.ok && !nowhere ? kExitOk : kExitFailed;
}

int taggedResponses(const DiscoveryOptions& options) {
  const std::string file = existingFile(options.file, "the output file");
  const std::string tagFile = existingFile(options.tags, "the tag file");
  DiscoverySession session(options, file);
  const std::vector<std::string> names = taggedNames(session.portal(), tagFile, file, false);
  const std::string folder = fs::path(file).parent_path().string();
  session.host().startDesign({}, folder);
  const ORLIX::StringStringMap props{{"analysisName", "inspect"}, {"destDir", folder},
                                     {"outputFilepaths", file}, {"outputTagFilepaths", tagFile}};
  std::string message;
  const bool ok = session.portal().processOutputFiles(props, nullptr, message);
  std::vector<std::string> problems;
  addPortalProblems(problems, message);
  for (const std::string& problem : problems) std::cerr << problem << "\n";
  Json listing = Json::object();
  bool missing = false;
  for (const std::string& name : names) {
    const auto& responses = session.host().service.responses;
    const auto found = responses.find(name);
    const std::string error = found == responses.end() ? "no value was reported" : found->second.error;
    std::string shown;
    if (!error.empty()) {
      missing = true;
      shown = "error: " + error;
      listing[name] = {{"error", error}};
    } else {
      for (double x : found->second.numbers) shown += (shown.empty() ? "" : " ") + exactNumber(x);
      for (const std::string& t : found->second.texts) shown += (shown.empty() ? "" : " ") + t;
      listing[name] = {{"numbers", numbersToJson(found->second.numbers)}, {"texts", found->second.texts}};
    }
    if (!options.json) std::cout << name << " = " << shown << "\n";
  }
  if (options.json) printJson(listing);
  return ok && !missing ? kExitOk : kExitFailed;
}

}  // namespace portalhost
