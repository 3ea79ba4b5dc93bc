#include "replay.h"

#include <cstdlib>
#include <iostream>
#include <set>

#include "host_behaviour.h"
#include "host_extensions.h"
#include "host_files.h"
#include "json_convert.h"
#include "portal_calls.h"
#include "portal_library.h"
#include "portal_registry.h"
#include "program_run.h"
#include "recording_host.h"
#include "scenario_schema.h"
#include "support_hooks.h"
#include "transcript_text.h"

namespace portalhost {
namespace {

void setVariable(const std::string& name, const Json& value) {
  if (value.is_null()) {
    ::unsetenv(name.c_str());
  } else {
    ::setenv(name.c_str(), value.get<std::string>().c_str(), 1);
  }
}

void createFiles(const Json& files) {
  for (const auto& file : files.items()) {
    try {
      writeTextFile(file.key(), file.value().get<std::string>());
    } catch (const HostFileError& error) {
      throw ScenarioError("files." + file.key() + ": " + error.what());
    }
  }
}

HostBehaviour initialBehaviour(const std::string& workPath, const Json& scenario) {
  HostBehaviour behaviour(workPath);
  if (scenario.contains("host")) behaviour.apply(scenario.at("host"));
  return behaviour;
}

void runFileStep(const std::string& call, const Json& step, const std::string& where, Json& record) {
  const std::string path = textArg(step, "path");
  try {
    if (call == "readFile") {
      const auto content = readTextFile(path);
      record["exists"] = content.has_value();
      if (content) record["content"] = *content;
    } else if (call == "writeFile") {
      writeTextFile(path, textArg(step, "content"));
    } else if (call == "removeFile") {
      removePath(path);
    } else if (call == "listFiles") {
      record["files"] = textsToJson(listFolder(path));
    } else if (call == "setMtime") {
      setModifiedTime(path, step.at("secondsFromNow").get<double>());
    } else if (call == "chmod") {
      changeMode(path, parseOctalMode(step.at("mode").get<std::string>()));
    }
  } catch (const HostFileError& error) {
    throw ScenarioError(where + ".path: " + error.what());
  }
}

// The exit code and the output tail go to the transcript; why a run gave -1 goes
// to standard error, where it helps whoever writes the scenario without making
// the transcript depend on the system's error texts.
void runProgramStep(const Json& step, const std::string& where, Json& record) {
  ProgramRun run;
  for (const Json& word : step.at("program")) run.command.push_back(word.get<std::string>());
  run.folder = textArg(step, "folder");
  if (step.contains("env")) {
    for (const auto& variable : step.at("env").items()) {
      run.env.emplace_back(variable.key(), variable.value().get<std::string>());
    }
  }
  if (step.contains("timeout")) run.timeoutSeconds = step.at("timeout").get<double>();
  const ProgramResult result = runProgramCaptured(run);
  if (!result.problem.empty()) std::cerr << "portal-host: " << where << ": " << result.problem << "\n";
  record["exitCode"] = result.exitCode;
  record["output"] = result.output;
}

// One run: the library, the host objects the portal sees, and the portals made.
// Members are declared so that the portals go first, then the hooks into the
// support library, and the library is unloaded last.
class Replay {
 public:
  Replay(const std::string& portalPath, const std::string& workPath, const Json& scenario)
      : library_(portalPath),
        workPath_(workPath),
        recorder_(workPath),
        behaviour_(initialBehaviour(workPath, scenario)),
        hooks_(recorder_, behaviour_),
        host_(recorder_, behaviour_) {}

  std::string run(const Json& steps) {
    TranscriptText transcript(workPath_);
    for (std::size_t i = 0; i < steps.size(); ++i) {
      const Json& step = steps[i];
      Json record = Json::object();
      record["call"] = step.at("call");
      recorder_.startStep();
      try {
        runStep(step, "steps[" + std::to_string(i) + "]", record);
      } catch (...) {
        recorder_.endStep();
        throw;
      }
      recorder_.endStep();
      transcript.addStep(std::move(record), recorder_.calls());
    }
    return transcript.finish();
  }

 private:
  void runStep(const Json& step, const std::string& where, Json& record) {
    const std::string call = step.at("call").get<std::string>();
    if (call == "portalFactory") {
      guarded(record, [&] { createPortal(step, record); });
    } else if (callUsesPortal(call)) {
      LivePortal& live = portals_.pick(step, where);
      if (call == "destroy") {
        guarded(record, [&] { portals_.destroy(live); });
      } else if (call == "properties") {
        guarded(record, [&] { describeProperties(*live.extension, record); });
      } else {
        if (live.portal == nullptr) throw ScenarioError(where + ".portal: the portal has no IPortal interface");
        guarded(record, [&] { callPortalOperation(*live.portal, call, step, record); });
      }
    } else if (call == "setHost") {
      behaviour_.apply(step);
      if (step.contains("runCommand")) host_.restartCommandQueue();
      if (step.contains("stringTable")) hooks_.replaceStringTable();
    } else if (call == "setEnv") {
      setVariable(textArg(step, "name"), step.contains("value") ? step.at("value") : Json());
    } else if (call == "run") {
      runProgramStep(step, where, record);
    } else {
      runFileStep(call, step, where, record);
    }
  }

  // A throwing portal operation is a defect of the portal, not of the scenario:
  // the transcript shows it and the run goes on.
  template <typename Action>
  static void guarded(Json& record, Action action) {
    try {
      action();
    } catch (const std::exception& error) {
      record["exception"] = error.what();
    } catch (...) {
      record["exception"] = "unknown exception";
    }
  }

  void createPortal(const Json& step, Json& record) {
    record["created"] = false;
    ORLIX::IPortalHost* host = behaviour_.present ? &host_ : nullptr;
    ORLIX::IProperties* properties = flagArg(step, "creationProperties", true) ? &creationProperties_ : nullptr;
    ORLIX::IExtension* extension = library_.factory()(host, textArg(step, "name"), properties);
    record["created"] = extension != nullptr;
    if (extension == nullptr) return;

    auto* portal = static_cast<ORLIX::IPortal*>(extension->getInterface(ORLIX::kPortalInterfaceId));
    portals_.add(extension, portal);
    record["type"] = extension->type();
    record["name"] = extension->name();
    Json interfaces = Json::object();
    for (int id = 0; id <= 3; ++id) interfaces[std::to_string(id)] = extension->getInterface(id) != nullptr;
    record["interfaces"] = std::move(interfaces);
    record["interfaceIsSelf"] = portal != nullptr && static_cast<ORLIX::IExtension*>(portal) == extension;
  }

  void describeProperties(ORLIX::IExtension& extension, Json& record) {
    ORLIX::IProperties& bag = extension.properties();
    record["keys"] = textsToJson(bag.keys());
    // The same object as every earlier answer: no answer so far, or all of them were this one.
    record["sameObject"] = propertyBags_.empty() || (propertyBags_.size() == 1 && propertyBags_.count(&bag) == 1);
    propertyBags_.insert(&bag);
  }

  PortalLibrary library_;
  std::string workPath_;
  CallRecorder recorder_;
  HostBehaviour behaviour_;
  SupportHooks hooks_;
  RecordingHost host_;
  HostProperties creationProperties_;
  PortalRegistry portals_;
  std::set<const ORLIX::IProperties*> propertyBags_;
};

}  // namespace

std::string replayScenario(Json played, const ReplayOptions& options) {
  WorkFolder work(options.keep);
  substituteWork(played, work.path());
  // The environment is in place before the library loads, in case it reads
  // variables as it starts.
  if (played.contains("env")) {
    for (const auto& variable : played.at("env").items()) setVariable(variable.key(), variable.value());
  }
  if (played.contains("files")) createFiles(played.at("files"));

  Replay replay(options.portalPath, work.path(), played);
  return replay.run(played.contains("steps") ? played.at("steps") : Json::array());
}

}  // namespace portalhost
