// portal-host study: read the study, check it, run its designs, and leave the
// journal, the table, results.csv and report.html.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <thread>

#include "portal_session.h"
#include "study/html_report.h"
#include "study/journal.h"
#include "study/results_csv.h"
#include "study/results_table.h"
#include "study/setup_check.h"
#include "study/study_progress.h"
#include "study/study_reader.h"
#include "study/tag_setup.h"
#include "study/worker_pool.h"
#include "user_commands.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;

const char* const kJournal = "results.jsonl";

// Everything the host keeps for itself in the output folder.
struct OutputLayout {
  std::string folder;
  std::string hostFolder;  // .study: the tag files and the portal's own folders
  std::string tags() const { return hostFolder + "/tags"; }
  std::string work() const { return hostFolder + "/work"; }
  std::string scratch() const { return hostFolder + "/check"; }
};

void printProblems(std::ostream& out, const std::string& studyFile, const std::vector<std::string>& problems) {
  out << studyFile << ": " << problems.size() << (problems.size() == 1 ? " problem" : " problems") << ":\n";
  for (const std::string& problem : problems) out << "  " << problem << "\n";
}

bool holdsEarlierRun(const std::string& folder) {
  std::error_code error;
  if (fs::exists(folder + "/" + kJournal, error)) return true;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->path().filename().string().rfind("design_", 0) == 0) return true;
  }
  return false;
}

void emptyFolder(const std::string& folder) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code gone;
    fs::remove_all(it->path(), gone);
    if (gone) throw OutputError(it->path().string() + ": cannot be removed: " + gone.message());
  }
  if (error) throw OutputError(folder + ": cannot be read: " + error.message());
}

// The output folder, made and proven writable before anything else is done.
OutputLayout prepareOutput(const StudyOptions& options, const std::string& folder) {
  OutputLayout layout{folder, folder + "/.study"};
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) throw OutputError(folder + ": cannot be made: " + error.message());
  if (!fs::is_directory(folder, error)) throw OutputError(folder + ": is not a folder");
  if (holdsEarlierRun(folder) && !options.resume && !options.force) {
    throw StudyError("the output folder " + folder + " holds an earlier run of a study: use --resume to go on "
                     "with it, or --force to empty it and start again");
  }
  if (options.force) emptyFolder(folder);
  fs::create_directories(layout.hostFolder, error);
  const std::string probe = layout.hostFolder + "/.writable";
  std::ofstream test(probe);
  if (error || !(test << "ok") || !test.flush()) {
    throw OutputError(folder + ": cannot be written: " + (error ? error.message() : "Permission denied"));
  }
  test.close();
  fs::remove(probe, error);
  return layout;
}

// The set-up: tag files written through the portal, the finish check's
// interval, and the checks that keep a broken study from starting.
struct Setup {
  StudyTags tags;
  double pollSeconds = 10;
  SetupReport report;
};

Setup setUp(const Study& study, const std::string& portalPath, const OutputLayout& layout, bool probe) {
  Setup setup;
  StudyHost host;
  host.workRoot = layout.work();
  PortalSession session(portalPath, host, study.portal);
  try {
    setup.tags = prepareTags(session.portal(), study, layout.tags());
  } catch (const StudyError& error) {
    setup.report.problems.push_back(error.what());
    return setup;
  }
  configureAnalysis(host.service, study, setup.tags);
  ORLIX::StringStringMap reply;
  session.portal().handleEvent("initAnalysis", {{"analysisName", study.name}}, reply);
  const double asked = std::atof(reply["finishFrequency"].c_str());
  if (asked > 0) setup.pollSeconds = asked;
  checkSolverProgram(study, ownFolder(), setup.report);
  if (probe) checkTagging(session.portal(), host, study, setup.tags, layout.scratch(), setup.report);
  std::error_code ignored;
  fs::remove_all(layout.scratch(), ignored);
  return setup;
}

int checkOnly(const LoadedStudy& loaded, const StudyOptions& options, const std::string& portalPath) {
  char pattern[] = "/tmp/portal-host-check-XXXXXX";
  const char* scratch = ::mkdtemp(pattern);
  if (scratch == nullptr) throw OutputError("cannot make a scratch folder under /tmp");
  const OutputLayout layout{scratch, scratch};
  Setup setup;
  try {
    setup = setUp(loaded.study, portalPath, layout, true);
  } catch (...) {
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    throw;
  }
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
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

// The designs to run, in order, leaving out those a resumed study finished.
class DesignQueueState {
 public:
  DesignQueueState(std::uint64_t total, std::set<std::uint64_t> done) : total_(total), done_(std::move(done)) {}
  std::optional<std::uint64_t> next() {
    while (next_ <= total_ && done_.count(next_)) ++next_;
    if (next_ > total_) return std::nullopt;
    return next_++;
  }

 private:
  std::uint64_t total_;
  std::set<std::uint64_t> done_;
  std::uint64_t next_ = 1;
};

std::vector<DesignRecord> earlierRecords(const std::string& journal, std::ostream& err) {
  JournalContents contents = readJournal(journal);
  if (contents.tornLastLine) err << journal << ": its last line was cut short (a crash while writing); left out\n";
  for (const std::string& line : contents.badLines) err << journal << ": " << line << " is not a design; left out\n";
  return std::move(contents.records);
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
  if (options.launcher != "local") throw StudyError("--launcher " + options.launcher + ": not available yet");

  const std::string out =
      fs::absolute(options.out.empty() ? study.name + "-results" : options.out).lexically_normal().string();
  const OutputLayout layout = prepareOutput(options, out);
  Setup setup = setUp(study, portalPath, layout, true);
  if (!setup.report.problems.empty()) {
    printProblems(std::cerr, options.studyFile, setup.report.problems);
    return kExitUsage;
  }

  std::vector<DesignRecord> records;
  std::set<std::uint64_t> done;
  if (options.resume) {
    for (DesignRecord& record : earlierRecords(out + "/" + kJournal, std::cerr)) {
      if (record.design >= 1 && record.design <= study.designs.size() && done.insert(record.design).second) {
        records.push_back(std::move(record));
      }
    }
  }
  Journal journal(out + "/" + kJournal);
  PoolSettings settings;
  settings.portalPath = portalPath;
  settings.outFolder = out;
  settings.workFolder = layout.work();
  settings.jobs = options.jobs > 0 ? options.jobs : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  settings.retries = options.retries;
  settings.pollSeconds = options.pollSeconds > 0 ? options.pollSeconds : setup.pollSeconds;

  const std::uint64_t toRun = study.designs.size() - done.size();
  std::cerr << "study " << study.name << ": " << study.designs.size() << " designs"
            << (done.empty() ? "" : ", " + std::to_string(done.size()) + " finished earlier") << ", "
            << settings.jobs << " worker" << (settings.jobs == 1 ? "" : "s") << ", results in " << out << "\n";
  StudyProgress progress(toRun, ::isatty(2) != 0);
  DesignQueueState queue(study.designs.size(), done);
  const PoolOutcome outcome = runDesignPool(
      study, setup.tags, settings, [&] { return queue.next(); },
      [&](const DesignRecord& record) {
        journal.append(record);
        records.push_back(record);
        progress.finished(record.ok);
      });
  progress.end();

  std::sort(records.begin(), records.end(),
            [](const DesignRecord& a, const DesignRecord& b) { return a.design < b.design; });
  const ReportSummary summary{study.designs.size(), study.designs.size() - records.size()};
  printResultsTable(std::cout, study, records);
  writeResultsCsv(out + "/results.csv", study, records);
  writeHtmlReport(out + "/report.html", study, records, summary);
  return printSummary(std::cout, std::cerr, options, study, records, summary, outcome.interrupted, out);
}

}  // namespace portalhost
