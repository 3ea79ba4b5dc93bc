#include "design_run.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include "process_spawn.h"
#include "xmlportal/tag_data.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The errors and warnings of a message buffer, one per entry; a line that
// starts no message continues the one before it. Notes are left out: they say
// how a run went, not what went wrong.
void addProblems(std::vector<std::string>& into, const std::string& text) {
  bool keeping = false;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = text.find('\n', start);
    const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (startsWith(line, "ERROR: ") || startsWith(line, "WARNING: ") || startsWith(line, "NOTE: ") ||
        startsWith(line, "Exception caught")) {
      keeping = !startsWith(line, "NOTE: ");
      if (keeping) into.push_back(line);
    } else if (keeping && !line.empty()) {
      into.back() += " " + line;
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

std::string designFolderName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "design_%04d", index + 1);
  return name;
}

}  // namespace

Json designResultToJson(const DesignResult& result) {
  Json json;
  json["index"] = result.index;
  json["values"] = Json::object();
  for (const auto& [name, value] : result.values) json["values"][name] = value;
  json["ok"] = result.ok;
  json["responses"] = Json::object();
  for (const auto& [name, outcome] : result.responses) {
    json["responses"][name] = {{"numbers", outcome.numbers}, {"error", outcome.error}};
  }
  json["messages"] = result.messages;
  json["portalSeconds"] = result.portalSeconds;
  json["totalSeconds"] = result.totalSeconds;
  return json;
}

DesignResult designResultFromJson(const Json& json) {
  DesignResult result;
  result.index = json.at("index").get<int>();
  for (const auto& item : json.at("values").items()) result.values[item.key()] = item.value().get<double>();
  result.ok = json.at("ok").get<bool>();
  for (const auto& item : json.at("responses").items()) {
    ResponseOutcome outcome;
    outcome.numbers = item.value().at("numbers").get<std::vector<double>>();
    outcome.error = item.value().at("error").get<std::string>();
    result.responses[item.key()] = outcome;
  }
  result.messages = json.at("messages").get<std::vector<std::string>>();
  result.portalSeconds = json.at("portalSeconds").get<double>();
  result.totalSeconds = json.at("totalSeconds").get<double>();
  return result;
}

void configureAnalysis(StudyService& service, const Study& study, const StudyLayout& layout) {
  service.analysis["analysisPortalData"] = ORLIX::StringStringMap{
      {"Lines", "primaryInput: " + layout.deckName + "\nprimaryOutput: " + layout.resultsName +
                    "\nmodules: " + study.modules}};
  service.analysis["AnalysisProperty#install"] = ORLIX::StringStringMap{{"install", study.solver}};
}

StudyLayout prepareStudy(ORLIX::IPortal& portal, StudyHost& host, const Study& study,
                         const std::string& outFolder) {
  StudyLayout layout;
  layout.outFolder = outFolder;
  layout.deckName = fs::path(study.deck).filename().string();
  layout.resultsName = fs::path(study.deck).stem().string() + ".sdb";
  const std::string setup = outFolder + "/setup";
  fs::create_directories(setup);
  host.workRoot = setup;
  configureAnalysis(host.service, study, layout);

  ORLIX::StringStringMap reply;
  portal.handleEvent("initAnalysis", {{"analysisName", study.name}}, reply);
  if (!reply["finishFrequency"].empty()) layout.pollSeconds = std::atof(reply["finishFrequency"].c_str());

  const ORLIX::StringStringMap props{{"mode", "portal"}, {"analysisName", study.name},
                                     {"destDir", setup}, {"version", "7.2"}};
  ORLIX::Portals::TagList inputs;
  for (const StudyParameter& p : study.parameters) {
    ORLIX::Portals::TagData tag;
    tag.path = {p.group, p.abbreviation};
    tag.paramName = p.name;
    tag.paramType = "Continuous";
    tag.add("mode", "portal");
    tag.add("format", p.format);
    inputs.push_back(tag);
  }
  ORLIX::Portals::TagList outputs;
  for (const StudyResponse& r : study.responses) {
    ORLIX::Portals::TagData tag;
    tag.path = {"Responses", r.name};
    tag.paramName = r.name;
    tag.paramType = "Continuous";
    tag.add("mode", "portal");
    for (const auto& [key, value] : r.attributes) tag.add(key, value, "PortalData");
    outputs.push_back(tag);
  }
  ORLIX::StringStringMap outData;
  std::string message;
  if (!portal.writeInputTagData(layout.deckName, inputs, props, outData, message) ||
      !portal.writeOutputTagData(layout.resultsName, outputs, props, outData, message)) {
    throw StudyError("the portal could not write the study's tag files: " + message);
  }
  layout.inTagFile = setup + "/" + outData[layout.deckName + "_intagfile"];
  layout.outTagFile = setup + "/" + outData[layout.resultsName + "_outtagfile"];
  return layout;
}

DesignResult runDesign(ORLIX::IPortal& portal, StudyHost& host, const Study& study,
                       const StudyLayout& layout, int index) {
  const auto start = Clock::now();
  DesignResult result;
  result.index = index;
  result.values = study.designs[static_cast<std::size_t>(index)];
  Clock::duration inPortal{};
  auto timed = [&](auto&& call) {
    const auto before = Clock::now();
    const auto answer = call();
    inPortal += Clock::now() - before;
    return answer;
  };

  const std::string folder = layout.outFolder + "/designs/" + designFolderName(index);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(folder);
  fs::copy_file(study.deck, folder + "/" + layout.deckName);
  host.startDesign(result.values, folder);

  const ORLIX::StringStringMap props{
      {"analysisName", study.name},
      {"evalId", std::to_string(index + 1)},
      {"destDir", folder},
      {"version", "7.2"},
      {"inputFilepaths", folder + "/" + layout.deckName},
      {"inputTagFilepaths", layout.inTagFile},
      {"outputFilepaths", folder + "/" + layout.resultsName},
      {"outputTagFilepaths", layout.outTagFile}};
  std::string message;
  timed([&] { portal.resetRunState(); return true; });
  bool ok = timed([&] { return portal.updateInputFiles(props, nullptr, message); });
  if (!ok) result.messages.push_back("the portal could not update the deck");

  if (ok) {
    ChildProcess solver(study.solver, {layout.deckName}, folder, folder + "/solver.out");
    if (!solver.started()) {
      ok = false;
      result.messages.push_back("the solver " + study.solver + " could not be started");
    }
    auto lastPoll = Clock::now();
    bool finished = false;
    while (ok && !solver.finished()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (seconds(Clock::now() - lastPoll) >= layout.pollSeconds) {
        lastPoll = Clock::now();
        timed([&] { return portal.check("checkFinish", props, finished, message); });
      }
    }
    if (ok) {
      solver.wait();
      timed([&] { return portal.check("checkFinish", props, finished, message); });
      if (!finished) result.messages.push_back("the finish check did not see the run finish");
      bool success = false;
      timed([&] { return portal.check("checkSuccess", props, success, message); });
      if (!success) {
        ok = false;
        result.messages.push_back("the solver run failed");
      }
    }
  }
  if (ok) {
    ok = timed([&] { return portal.processOutputFiles(props, nullptr, message); });
    if (!ok) result.messages.push_back("the responses could not all be extracted");
  }
  result.responses = host.service.responses;
  for (const StudyResponse& r : study.responses) {
    auto found = result.responses.find(r.name);
    if (found == result.responses.end()) {
      result.responses[r.name].error = "no value was reported";
      ok = false;
    } else if (!found->second.error.empty()) {
      ok = false;
    }
  }
  for (const std::string& line : host.errors) result.messages.push_back(line);
  addProblems(result.messages, message);
  result.ok = ok;
  result.portalSeconds = std::max(0.0, seconds(inPortal) - host.commandSeconds);
  result.totalSeconds = seconds(Clock::now() - start);
  return result;
}

}  // namespace portalhost
