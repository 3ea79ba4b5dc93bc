// What a study says while it runs and when it ends: a progress bar on a
// terminal, and the closing summary with the way to go on after an interruption.
#ifndef PORTAL_HOST_STUDY_STUDY_PROGRESS_H
#define PORTAL_HOST_STUDY_STUDY_PROGRESS_H

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "study/design_record.h"
#include "study/html_report.h"
#include "study/study_model.h"
#include "user_commands.h"

namespace portalhost {

class StudyProgress {
 public:
  StudyProgress(std::uint64_t total, bool shown) : total_(total), shown_(shown) {}
  void finished(bool ok);
  void end();

 private:
  void draw();
  std::uint64_t total_, done_ = 0, failed_ = 0;
  bool shown_;
  bool drawn_ = false;
};

// Prints where the results are, the counts (and, when interrupted, how to go
// on); returns the study's exit status.
int printSummary(std::ostream& out, std::ostream& err, const StudyOptions& options, const Study& study,
                 const std::vector<DesignRecord>& records, const ReportSummary& summary, bool interrupted,
                 const std::string& outFolder);

}  // namespace portalhost

#endif
