// report.html: every response plotted against every parameter, the failed
// designs with the stage that failed first, and the table of designs; one
// self-contained file (inline SVG, no scripts, nothing fetched).
#ifndef PORTAL_HOST_STUDY_HTML_REPORT_H
#define PORTAL_HOST_STUDY_HTML_REPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "study/design_record.h"
#include "study/study_model.h"

namespace portalhost {

struct ReportSummary {
  std::uint64_t designs = 0;  // in the study
  std::uint64_t notRun = 0;   // not run (the study was interrupted)
};

// `records` in design order. Throws OutputError when the file cannot be written.
void writeHtmlReport(const std::string& path, const Study& study, const std::vector<DesignRecord>& records,
                     const ReportSummary& summary);
std::string htmlReport(const Study& study, const std::vector<DesignRecord>& records, const ReportSummary& summary);

}  // namespace portalhost

#endif
