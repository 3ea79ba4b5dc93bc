// portal-host study: read the study, check it, run its designs, and leave the
// journal, the table, results.csv and report.html.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <set>
#include <thread>

#include "host_files.h"
#include "portal_session.h"
#include "process_group.h"
#include "study/html_report.h"
#include "study/journal.h"
#include "study/output_folder.h"
#include "study/results_csv.h"
#include "study/results_table.h"
#include "study/setup_check.h"
#include "study/study_progress.h"
#include "study/tag_setup.h"
#include "study/worker_pool.h"
#include "user_commands.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;

void printProblems(std::ostream& out, const std::string& studyFile, const std::vector<std::string>& problems) {
  out << studyFile << ": " << problems.size() << (problems.size() == 1 ? " problem" : " problems") << ":\n";
  for (const std::string& problem : problems) out << "  " << problem << "\n";
}

// Where the set-up writes: the tag files, the portal's own folders, and the
// scratch designs of the checks (removed afterwards).
struct SetupFolders {
  std::string tags, work, scratch;
};

// The set-up: tag files written through the portal, the finish check's
// interval, and the checks that keep a broken study from starting.
struct Setup {
  StudyTags tags;
  double pollSeconds = 10;
  SetupReport report;
};

Setup setUp(const Study& study, const std::string& portalPath, const SetupFolders& folders, bool solverRunsHere) {
  Setup setup;
  StudyHost host;
  host.workRoot = folders.work;
  PortalSession session(portalPath, host, study.portal);
  try {
    setup.tags = prepareTags(session.portal(), study, folders.tags);
  } catch (const StudyError& error) {
    setup.report.problems.push_back(error.what());
    return setup;
  }
  configureAnalysis(host.service, study, setup.tags);
  ORLIX::StringStringMap reply;
  session.portal().handleEvent("initAnalysis", {{"analysisName", study.name}}, reply);
  const double asked = std::atof(reply["finishFrequency"].c_str());
  if (asked > 0) setup.pollSeconds = asked;
  checkSolverProgram(study, ownFolder(), solverRunsHere, setup.report);
  checkTagging(session.portal(), host, study, setup.tags, folders.scratch, setup.report);
  std::error_code ignored;
  fs::remove_all(folders.scratch, ignored);
  return setup;
}

int checkOnly(const LoadedStudy& loaded, const StudyOptions& options, const std::string& portalPath) {
  const ScratchFolder scratch;
  const Setup setup = setUp(loaded.study, portalPath,
                            {scratch.path() + "/tags", scratch.path() + "/work", scratch.path() + "/check"},
                            options.launcher == "local");
  std::vector<std::string> problems = loaded.problems;
  problems.insert(problems.end(), setup.report.problems.begin(), setup.report.problems.end());
  for (const std::string& finding : setup.report.findings) std::cout << finding << "\n";
  if (!problems.empty()) {
    printProblems(std::cout, options.studyFile, problems);
    return kExitUsage;
  }
  std::cout << options.studyFile << ": ready to run " << loaded.study.designs.size() << " designs\n";
  return kExitOk;
}

// The designs to run, in order, leaving out those an earlier run finished;
// one whose batch job an earlier run left is waited for, not submitted again.
class DesignQueueState {
 public:
  DesignQueueState(std::uint64_t total, const std::set<std::uint64_t>& done,
                   std::map<std::uint64_t, std::string> jobs)
      : total_(total), done_(done), jobs_(std::move(jobs)) {}
  std::optional<QueuedDesign> next() {
    while (next_ <= total_ && done_.count(next_)) ++next_;
    if (next_ > total_) return std::nullopt;
    QueuedDesign design{next_++, ""};
    const auto job = jobs_.find(design.number);
    if (job != jobs_.end()) design.attachJob = job->second;
    return design;
  }

 private:
  std::uint64_t total_;
  const std::set<std::uint64_t>& done_;
  std::map<std::uint64_t, std::string> jobs_;
  std::uint64_t next_ = 1;
};

JournalContents earlierRun(const std::string& journal, std::ostream& err) {
  JournalContents contents = readJournal(journal);
  if (contents.tornLastLine) err << journal << ": its last line was cut short (a crash while writing); left out\n";
  for (const std::string& line : contents.badLines) err << journal << ": " << line << " is not a design; left out\n";
  return contents;
}

void checkLauncher(const StudyOptions& options) {
  if (options.launcher != "slurm") return;
  const char* path = std::getenv("PATH");
  for (const char* program : {"sbatch", "scontrol", "scancel"}) {
    std::string why;
    if (findProgram(program, path ? path : "", "", why).empty()) throw StudyError("--launcher slurm: " + why);
  }
}

PoolSettings poolSettings(const StudyOptions& options, const Study& study, const OutputFolder& out,
                          const std::string& portalPath, double pollSeconds) {
  PoolSettings settings;
  settings.portalPath = portalPath;
  settings.launcher = options.launcher;
  settings.slurmOptions = study.slurmOptions;
  settings.outFolder = out.folder;
  settings.workFolder = out.work();
  settings.jobs = options.jobs > 0 ? options.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  settings.retries = options.retries;
  settings.pollSeconds = options.pollSeconds > 0 ? options.pollSeconds : pollSeconds;
  return settings;
}

}  // namespace

int studyCommand(const StudyOptions& options) {
  const LoadedStudy loaded = readStudyFile(options.studyFile);
  const Study& study = loaded.study;
  const std::string portalPath = options.portal.empty() ? PortalLibrary::defaultPath() : options.portal;
  appendOwnFolderToPath();
  if (options.check) return checkOnly(loaded, options, portalPath);
  if (!loaded.problems.empty()) {
    printProblems(std::cerr, options.studyFile, loaded.problems);
    return kExitUsage;
  }
  checkLauncher(options);

  const std::string folder =
      fs::absolute(options.out.empty() ? study.name + "-results" : options.out).lexically_normal().string();
  const OutputFolder out = openOutputFolder(folder, options, loaded);
  const Setup setup = setUp(study, portalPath, {out.tags(), out.work(), out.scratch()}, options.launcher == "local");
  if (!setup.report.problems.empty()) {
    printProblems(std::cerr, options.studyFile, setup.report.problems);
    return kExitUsage;
  }

  std::vector<DesignRecord> records;
  std::set<std::uint64_t> done;
  std::map<std::uint64_t, std::string> jobs;
  if (out.resuming) {
    JournalContents earlier = earlierRun(out.journal(), std::cerr);
    for (DesignRecord& record : earlier.records) {
      if (record.design >= 1 && record.design <= study.designs.size() && done.insert(record.design).second) {
        records.push_back(std::move(record));
      }
    }
    if (options.launcher == "slurm") jobs = std::move(earlier.submitted);
  }
  Journal journal(out.journal());
  const PoolSettings settings = poolSettings(options, study, out, portalPath, setup.pollSeconds);

  const std::uint64_t toRun = study.designs.size() - done.size();
  std::cerr << "study " << study.name << ": " << study.designs.size() << " designs"
            << (done.empty() ? "" : ", " + std::to_string(done.size()) + " finished earlier") << ", "
            << settings.jobs << (settings.launcher == "slurm" ? " Slurm job" : " worker")
            << (settings.jobs == 1 ? "" : "s") << " at a time, results in " << out.folder << "\n";
  StudyProgress progress(toRun, ::isatty(2) != 0);
  DesignQueueState queue(study.designs.size(), done, std::move(jobs));
  const PoolOutcome outcome = runDesignPool(
      study, setup.tags, settings, [&] { return queue.next(); },
      [&](const DesignRecord& record) {
        journal.append(record);
        done.insert(record.design);
        records.push_back(record);
        progress.finished(record.ok);
      },
      [&](std::uint64_t number, const std::string& jobId) { journal.appendSubmitted(number, jobId); });
  progress.end();

  std::sort(records.begin(), records.end(),
            [](const DesignRecord& a, const DesignRecord& b) { return a.design < b.design; });
  const ReportSummary summary{study.designs.size(), study.designs.size() - records.size()};
  printResultsTable(std::cout, study, records);
  writeResultsCsv(out.folder + "/results.csv", study, records);
  writeHtmlReport(out.folder + "/report.html", study, records, summary);
  return printSummary(std::cout, std::cerr, options, study, records, summary, outcome.interrupted, out.folder);
}

}  // namespace portalhost
