#include "study/design_run.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "study/design_folder.h"
#include "study/success_checks.h"

namespace portalhost {

namespace fs = std::filesystem;

std::string designFolderName(std::uint64_t number) {
  char name[40];
  std::snprintf(name, sizeof name, "design_%04llu", static_cast<unsigned long long>(number));
  return name;
}

static bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

void addPortalProblems(std::vector<std::string>& into, const std::string& buffer) {
  bool keeping = false;
  std::size_t start = 0;
  while (start < buffer.size()) {
    const auto end = buffer.find('\n', start);
    const std::string line = buffer.substr(start, end == std::string::npos ? std::string::npos : end - start);
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

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string substituted(std::string word, const std::string& number, const std::string& folder) {
  for (const auto& [key, value] : {std::pair<std::string, std::string>{"{design}", number}, {"{folder}", folder}}) {
    for (auto at = word.find(key); at != std::string::npos; at = word.find(key, at + value.size())) {
      word.replace(at, key.size(), value);
    }
  }
  return word;
}

class DesignRun {
 public:
  DesignRun(ORLIX::IPortal& portal, StudyHost& host, const DesignContext& context, std::uint64_t number)
      : portal_(portal), host_(host), context_(context), study_(context.study) {
    record_.design = number;
    record_.values = study_.designs.at(number - 1);
    folder_ = context.outFolder + "/" + designFolderName(number);
    props_ = designProps(study_.name, context.tags, folder_, number);
  }

  DesignRecord run(const std::string& attachJob, const std::function<void(const std::string&)>& started,
                   bool& interrupted) {
    const auto start = Clock::now();
    host_.startDesign(record_.values, folder_);
    started_ = started;
    bool ok;
    SolverOutcome attached;
    if (!attachJob.empty()) attached = context_.launcher.attach(attachJob, job(), hooks());
    if (attached.started || !attached.failure.empty()) {
      ok = settle(attached) && check() && extract();
    } else {
      ok = prepare() && update() && settle(context_.launcher.run(job(), hooks())) && check() && extract();
    }
    interrupted = interrupted_;
    record_.ok = ok;
    collectResponses(ok);
    record_.seconds = seconds(Clock::now() - start);
    record_.portalSeconds = std::max(0.0, seconds(inPortal_) - host_.commandSeconds);
    return record_;
  }

 private:
  bool fail(const char* stage, const std::vector<std::string>& reasons) {
    record_.stage = stage;
    record_.messages.insert(record_.messages.begin(), reasons.begin(), reasons.end());
    return false;
  }

  template <typename Call>
  auto timed(Call&& call) {
    const auto before = Clock::now();
    auto answer = call();
    inPortal_ += Clock::now() - before;
    return answer;
  }

  // The portal's messages of one call, and the host messages it sent meanwhile.
  std::vector<std::string> portalSaid(const std::string& buffer) {
    std::vector<std::string> said;
    addPortalProblems(said, buffer);
    said.insert(said.end(), host_.problems.begin(), host_.problems.end());
    host_.problems.clear();
    return said;
  }

  bool prepare() {
    const std::vector<std::string> problems = fillDesignFolder(folder_, designFiles(study_));
    return problems.empty() || fail("prepare", problems);
  }

  bool update() {
    std::string message;
    timed([&] {
      portal_.resetRunState();
      return true;
    });
    const bool ok = timed([&] { return portal_.updateInputFiles(props_, nullptr, message); });
    std::vector<std::string> said = portalSaid(message);
    if (ok) {
      record_.messages.insert(record_.messages.end(), said.begin(), said.end());
      return true;
    }
    if (said.empty()) said.push_back("the portal could not write the design's values into its input files");
    return fail("update", said);
  }

  SolverJob job() const {
    SolverJob job;
    const std::string number = std::to_string(record_.design);
    if (study_.solver.command.empty()) {
      job.argv = {study_.solver.program, study_.deck.placed};
    } else {
      for (const std::string& word : study_.solver.command) job.argv.push_back(substituted(word, number, folder_));
    }
    job.folder = folder_;
    job.outputFile = folder_ + "/solver.out";
    job.env = study_.solver.env;
    job.timeoutSeconds = study_.solver.timeoutSeconds;
    job.pollSeconds = context_.pollSeconds;
    job.name = study_.name + "-" + std::to_string(record_.design);
    return job;
  }

  RunHooks hooks() {
    RunHooks hooks;
    hooks.whileRunning = [this] {
      bool finished = false;
      std::string message;
      timed([&] { return portal_.check("checkFinish", props_, finished, message); });
    };
    hooks.started = started_;
    hooks.wakeFd = context_.wakeFd;
    return hooks;
  }

  // What the launcher says of the run decides the solve stage.
  bool settle(const SolverOutcome& outcome) {
    record_.exitCode = outcome.exitCode;
    record_.jobId = outcome.jobId;
    interrupted_ = outcome.interrupted;
    if (!outcome.failure.empty()) return fail("solve", {outcome.failure});
    const auto& codes = study_.solver.exitCodes;
    if (std::find(codes.begin(), codes.end(), outcome.exitCode) == codes.end()) {
      std::vector<std::string> why{job().argv[0] + " exited with status " + std::to_string(outcome.exitCode) +
                                   " (see solver.out)"};
      if (!outcome.exitNote.empty()) why.push_back(outcome.exitNote);
      return fail("solve", why);
    }
    return true;
  }

  bool check() {
    std::vector<std::string> problems = failIfFindings(study_.solver.failIf, folder_);
    const std::vector<std::string> missing = missingOutputs(context_.tags, folder_);
    problems.insert(problems.end(), missing.begin(), missing.end());
    bool finished = false, success = false;
    std::string message;
    timed([&] { return portal_.check("checkFinish", props_, finished, message); });
    timed([&] { return portal_.check("checkSuccess", props_, success, message); });
    std::vector<std::string> said = portalSaid(message);
    if (!success) {
      problems.push_back("the portal's success check failed");
      problems.insert(problems.end(), said.begin(), said.end());
    }
    return problems.empty() || fail("check", problems);
  }

  bool extract() {
    std::string message;
    const bool ok = timed([&] { return portal_.processOutputFiles(props_, nullptr, message); });
    std::vector<std::string> said = portalSaid(message);
    std::vector<std::string> missing;
    for (const StudyResponse& r : study_.responses) {
      auto found = host_.service.responses.find(r.name);
      if (found == host_.service.responses.end()) {
        missing.push_back(r.name + ": no value was reported");
      } else if (!found->second.error.empty()) {
        missing.push_back(r.name + ": " + found->second.error);
      }
    }
    missing.insert(missing.end(), said.begin(), said.end());
    if (ok && missing.empty()) return true;
    if (missing.empty()) missing.push_back("the portal could not read the responses");
    return fail("extract", missing);
  }

  // Responses are kept whatever the outcome, so a failed design still shows
  // what it did read.
  void collectResponses(bool ok) {
    for (const StudyResponse& r : study_.responses) {
      ResponseResult result;
      result.name = r.name;
      auto found = host_.service.responses.find(r.name);
      if (found != host_.service.responses.end()) {
        result.numbers = found->second.numbers;
        result.texts = found->second.texts;
        result.error = found->second.error;
      } else {
        result.error = ok || record_.stage == "extract" ? "no value was reported" : "not read: the design failed";
      }
      record_.responses.push_back(result);
    }
  }

  ORLIX::IPortal& portal_;
  StudyHost& host_;
  const DesignContext& context_;
  const Study& study_;
  DesignRecord record_;
  std::string folder_;
  ORLIX::StringStringMap props_;
  Clock::duration inPortal_{};
  bool interrupted_ = false;
  std::function<void(const std::string&)> started_;
};

}  // namespace

DesignRecord runDesign(ORLIX::IPortal& portal, StudyHost& host, const DesignContext& context,
                       std::uint64_t number, const std::string& attachJob,
                       const std::function<void(const std::string&)>& started, bool& interrupted) {
  return DesignRun(portal, host, context, number).run(attachJob, started, interrupted);
}

}  // namespace portalhost
