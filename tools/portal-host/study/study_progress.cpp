#include "study/study_progress.h"

#include <algorithm>
#include <iostream>

namespace portalhost {

void StudyProgress::finished(bool ok) {
  ++done_;
  if (!ok) ++failed_;
  draw();
}

void StudyProgress::draw() {
  if (!shown_) return;
  const std::uint64_t width = 40;
  const std::uint64_t filled = total_ == 0 ? width : std::min(width, width * done_ / total_);
  std::cerr << "\r[" << std::string(filled, '#') << std::string(width - filled, '.') << "] " << done_ << "/" << total_
            << (failed_ ? "  (" + std::to_string(failed_) + " failed)" : std::string()) << std::flush;
  drawn_ = true;
}

void StudyProgress::end() {
  if (drawn_) std::cerr << "\n";
  drawn_ = false;
}

namespace {

std::string designs(std::uint64_t n) { return std::to_string(n) + (n == 1 ? " design" : " designs"); }

// The command that goes on with this study, as the user would type it.
std::string resumeCommand(const StudyOptions& options, const std::string& outFolder) {
  std::string line = "portal-host study " + options.studyFile + " --resume --out " + outFolder;
  if (options.jobs > 0) line += " --jobs " + std::to_string(options.jobs);
  return line;
}

}  // namespace

int printSummary(std::ostream& out, std::ostream& err, const StudyOptions& options, const Study& study,
                 const std::vector<DesignRecord>& records, const ReportSummary& summary, bool interrupted,
                 const std::string& outFolder) {
  const auto failed = static_cast<std::uint64_t>(
      std::count_if(records.begin(), records.end(), [](const DesignRecord& r) { return !r.ok; }));
  double portal = 0, total = 0;
  for (const DesignRecord& r : records) {
    portal += r.portalSeconds;
    total += r.seconds;
  }
  out << "\nresults: " << outFolder << "/results.csv\nreport:  " << outFolder << "/report.html\n";
  out << study.name << ": " << designs(study.designs.size()) << ": " << records.size() - failed << " ok, " << failed
      << " failed, " << summary.notRun << " not run\n";
  if (total > 0) err << "time in the portal: " << 100 * portal / total << "% of the designs' time\n";
  if (interrupted) {
    out << "interrupted: " << designs(records.size()) << " finished and kept, " << designs(summary.notRun)
        << " not run; go on with:\n  " << resumeCommand(options, outFolder) << "\n";
    return kExitInterrupted;
  }
  return failed > 0 ? kExitFailed : kExitOk;
}

}  // namespace portalhost
