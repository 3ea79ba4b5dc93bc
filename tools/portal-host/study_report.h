// What a study leaves for the engineer: a table on the terminal, results.csv,
// and a self-contained HTML report with one plot per response and parameter.
#ifndef PORTAL_HOST_STUDY_REPORT_H
#define PORTAL_HOST_STUDY_REPORT_H

#include <ostream>
#include <string>
#include <vector>

#include "design_run.h"

namespace portalhost {

// A response's number for tables and plots: its first value (a field keeps its
// count in the CSV's companion column); NaN when it has none.
double firstValue(const ResponseOutcome& outcome);

void printResultsTable(std::ostream& out, const Study& study, const std::vector<DesignResult>& results);
void writeResultsCsv(const std::string& path, const Study& study, const std::vector<DesignResult>& results);
void writeHtmlReport(const std::string& path, const Study& study, const std::vector<DesignResult>& results);

// One scatter plot as an SVG element (no scripts, no external resources).
std::string scatterSvg(const std::string& xLabel, const std::string& yLabel,
                       const std::vector<std::pair<double, double>>& points);

}  // namespace portalhost

#endif
