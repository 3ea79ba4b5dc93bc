// portal-host study: the host's per-design loop over a study file.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <thread>

#include "design_run.h"
#include "portal_library.h"
#include "study_report.h"
#include "study_workers.h"
#include "user_commands.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;

const char* const kStudyUsage =
    "usage: portal-host study STUDY.json [--jobs N] [--poll SECONDS] [--out FOLDER] [--portal LIBRARY]\n"
    "\n"
    "Runs every design of the study through the portal: a folder per design with a\n"
    "copy of the deck, the design's values written into it, the solver run (the\n"
    "finish check polled while it runs), the success check and the responses read.\n"
    "\n"
    "  --jobs N          designs run in N worker processes (default: the number of cores)\n"
    "  --poll SECONDS    how often the finish check is asked while the solver runs\n"
    "                    (default: what the portal asks for at set-up)\n"
    "  --out FOLDER      where the designs, results.csv and report.html go\n"
    "                    (default: ./<study name>-results)\n"
    "  --portal LIBRARY  the portal library (default: the one beside portal-host)\n"
    "\n"
    "exit status: 0 every design succeeded, 1 some failed, 2 the study file or the\n"
    "command line is wrong, 3 the portal library cannot be loaded.\n";

class ProgressBar {
 public:
  ProgressBar(std::size_t total, bool shown) : total_(total), shown_(shown) {}
  void advance(bool ok) {
    ++done_;
    if (!ok) ++failed_;
    if (!shown_) return;
    const int width = 40;
    const int filled = static_cast<int>(width * done_ / std::max<std::size_t>(total_, 1));
    std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
              << std::string(static_cast<std::size_t>(width - filled), '.') << "] " << done_ << "/" << total_
              << (failed_ ? "  (" + std::to_string(failed_) + " failed)" : std::string()) << std::flush;
    if (done_ == total_) std::cerr << "\n";
  }

 private:
  std::size_t total_, done_ = 0, failed_ = 0;
  bool shown_;
};

}  // namespace

void putOwnFolderFirstOnPath() {
  const std::string own = fs::path(PortalLibrary::defaultPath()).parent_path().string();
  const char* path = std::getenv("PATH");
  ::setenv("PATH", (own + ":" + (path ? path : "/usr/bin:/bin")).c_str(), 1);
}

int studyCommand(const std::vector<std::string>& arguments) {
  std::string studyPath, out, portal = PortalLibrary::defaultPath();
  int jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  double poll = -1;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= arguments.size()) throw StudyError(word + " needs a value");
      return arguments[++i];
    };
    if (word == "--help" || word == "-h") {
      std::cout << kStudyUsage;
      return 0;
    } else if (word == "--jobs") {
      jobs = std::atoi(value().c_str());
      if (jobs < 1) throw StudyError("--jobs needs a whole number of at least 1");
    } else if (word == "--poll") {
      poll = std::atof(value().c_str());
      if (!(poll > 0)) throw StudyError("--poll needs a positive number of seconds");
    } else if (word == "--out") {
      out = fs::absolute(value()).string();
    } else if (word == "--portal") {
      portal = fs::absolute(value()).string();
    } else if (!word.empty() && word[0] == '-') {
      throw StudyError("unknown option " + word);
    } else if (studyPath.empty()) {
      studyPath = word;
    } else {
      throw StudyError("one study file at a time");
    }
  }
  if (studyPath.empty()) throw StudyError("no study file given\n\n" + std::string(kStudyUsage));
  const Study study = loadStudy(studyPath);
  if (out.empty()) out = fs::absolute(study.name + "-results").string();
  putOwnFolderFirstOnPath();

  StudyLayout layout;
  {
    PortalLibrary library(portal);
    StudyHost host;
    std::unique_ptr<ORLIX::IExtension> extension(library.factory()(&host, "Brisol", nullptr));
    if (!extension) throw LibraryError(portal + ": portalFactory made no Brisol portal");
    auto* setupPortal = static_cast<ORLIX::IPortal*>(extension->getInterface(ORLIX::kPortalInterfaceId));
    layout = prepareStudy(*setupPortal, host, study, out);
  }
  if (poll > 0) layout.pollSeconds = poll;

  std::cerr << "study " << study.name << ": " << study.designs.size() << " designs, " << jobs
            << " worker" << (jobs == 1 ? "" : "s") << ", results in " << out << "\n";
  ProgressBar progress(study.designs.size(), ::isatty(2) != 0);
  const std::vector<DesignResult> results = runDesignsInWorkers(
      study, layout, portal, jobs, [&](const DesignResult& result) { progress.advance(result.ok); });

  printResultsTable(std::cout, study, results);
  writeResultsCsv(out + "/results.csv", study, results);
  writeHtmlReport(out + "/report.html", study, results);
  double portalSeconds = 0, totalSeconds = 0;
  for (const DesignResult& r : results) {
    portalSeconds += r.portalSeconds;
    totalSeconds += r.totalSeconds;
  }
  std::cout << "\nresults: " << out << "/results.csv\nreport:  " << out << "/report.html\n";
  std::cerr << "time in the portal: " << (totalSeconds > 0 ? 100 * portalSeconds / totalSeconds : 0)
            << "% of the designs' time\n";
  for (const DesignResult& r : results) {
    if (!r.ok) return 1;
  }
  return 0;
}

}  // namespace portalhost
