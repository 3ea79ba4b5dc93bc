#include "study/html_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "study/number_text.h"
#include "study/output_file.h"
#include "study/html_text.h"
#include "study/scatter_svg.h"
#include "study/results_csv.h"
#include "study/results_table.h"

namespace portalhost {
namespace {

// A study of 10^5 designs must still give a report a browser opens: plots
// and the table are sampled and cut, and say so.
constexpr std::size_t kMostPointsPerPlot = 5000;
constexpr std::size_t kFewestPointsPerPlot = 500;
constexpr std::size_t kMostPointsInReport = 250000;
constexpr std::size_t kMostTableRows = 2000;
constexpr std::size_t kMostValuesPerCell = 20;
constexpr std::size_t kMostMessagesPerDesign = 20;
constexpr std::size_t kLongestMessage = 2000;  // characters
constexpr std::size_t kLongestCellText = 200;  // characters



std::string plural(std::uint64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}


void writeFailure(std::string& html, const DesignRecord& record, bool inTable) {
  html += "<li>";
  const std::string design = "design " + std::to_string(record.design);
  html += inTable ? "<a href=\"#design-" + std::to_string(record.design) + "\">" + design + "</a>" : design;
  html += " failed";
  if (!record.stage.empty()) html += " at <strong>" + escaped(record.stage) + "</strong>";
  std::vector<std::string> reasons = failureReasons(record);
  for (std::size_t i = 0; i < record.earlierAttempts.size(); ++i) {
    reasons.push_back("attempt " + std::to_string(i + 1) + " failed: " + record.earlierAttempts[i]);
  }
  if (!reasons.empty()) {
    html += ": <span class=\"message\">" + escaped(clipped(reasons.front(), kLongestMessage)) + "</span>";
  }
  const std::size_t shown = std::min(reasons.size(), kMostMessagesPerDesign + 1);
  if (shown > 1) {
    html += "\n<ul>";
    for (std::size_t i = 1; i < shown; ++i) {
      html += "<li class=\"message\">" + escaped(clipped(reasons[i], kLongestMessage)) + "</li>";
    }
    if (reasons.size() > shown) {
      html += "<li>\xE2\x80\xA6 and " + plural(reasons.size() - shown, "more message", "more messages") + "</li>";
    }
    html += "</ul>";
  }
  html += "</li>\n";
}

void writeFailures(std::string& html, const std::vector<DesignRecord>& records, std::size_t failed) {
  if (failed == 0) return;
  html += "<h2>Failed designs</h2>\n<ul class=\"failures\">\n";
  std::size_t listed = 0;
  for (std::size_t i = 0; i < records.size() && listed < kMostFailuresListed; ++i) {
    if (records[i].ok) continue;
    writeFailure(html, records[i], i < kMostTableRows);
    ++listed;
  }
  html += "</ul>\n";
  if (failed > listed) {
    html += "<p class=\"note\">\xE2\x80\xA6 and " +
            plural(failed - listed, "more failed design", "more failed designs") + " (see results.jsonl)</p>\n";
  }
}

// The designs plotted for one response: every one with a numeric value.
struct ResponsePoints {
  std::vector<std::size_t> designs;  // indexes into the records
  std::vector<double> values;         // each one's first value
};

void writePlots(std::string& html, const Study& study, const std::vector<DesignRecord>& records,
                const StudyResponse& response, std::size_t mostPoints) {
  html += "<section>\n<h2>" + escaped(response.name) + "</h2>\n";
  if (response.text) {
    html += "<p class=\"note\">" + escaped(response.name) +
            " is a text response: its values are in the table of designs, not plotted.</p>\n</section>\n";
    return;
  }
  if (study.parameters.empty()) {
    html += "<p class=\"note\">The study has no parameters to plot it against.</p>\n</section>\n";
    return;
  }
  ResponsePoints withValue;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const ResponseResult* r = records[i].response(response.name);
    if (r == nullptr || !r->error.empty() || r->numbers.empty()) continue;
    withValue.designs.push_back(i);
    withValue.values.push_back(r->numbers.front());
  }
  for (const StudyParameter& parameter : study.parameters) {
    std::vector<std::pair<double, double>> points;
    std::size_t notFinite = 0;
    for (std::size_t k = 0; k < withValue.designs.size(); ++k) {
      const double* x = records[withValue.designs[k]].value(parameter.name);
      const double y = withValue.values[k];
      if (x == nullptr) continue;
      if (!std::isfinite(*x) || !std::isfinite(y)) {
        ++notFinite;
        continue;
      }
      points.emplace_back(*x, y);
    }
    const std::size_t plottable = points.size();
    if (plottable > mostPoints) {
      std::vector<std::pair<double, double>> sample;
      sample.reserve(mostPoints);
      for (std::size_t k = 0; k < mostPoints; ++k) sample.push_back(points[k * plottable / mostPoints]);
      points = std::move(sample);
    }
    html += "<figure>" + scatterSvg(parameter.name, response.name, points);
    std::string caption;
    if (plottable > points.size()) {
      caption += std::to_string(points.size()) + " of " + std::to_string(plottable) +
                 " designs plotted, evenly sampled. ";
    }
    if (notFinite > 0) {
      caption += plural(notFinite, "design has", "designs have") + " a value that is not a finite number, not plotted.";
    }
    if (!caption.empty()) {
      if (caption.back() == ' ') caption.pop_back();
      html += "<figcaption>" + caption + "</figcaption>";
    }
    html += "</figure>\n";
  }
  html += "</section>\n";
}

std::string responseCell(const ResponseResult* response) {
  if (response == nullptr) return "<td>-</td>";
  if (!response->error.empty()) {
    return "<td title=\"" + escaped(clipped(response->error, kLongestCellText)) + "\">-</td>";
  }
  if (!response->numbers.empty()) {
    std::string cell;
    const std::size_t shown = std::min(response->numbers.size(), kMostValuesPerCell);
    for (std::size_t i = 0; i < shown; ++i) cell += (i ? " " : "") + shortNumber(response->numbers[i]);
    if (response->numbers.size() > shown) {
      cell += " \xE2\x80\xA6 (+" + std::to_string(response->numbers.size() - shown) + ")";
    }
    return "<td>" + cell + "</td>";
  }
  if (response->texts.empty()) return "<td>-</td>";
  std::string text;
  for (std::size_t i = 0; i < response->texts.size(); ++i) text += (i ? "\n" : "") + response->texts[i];
  return "<td class=\"text\">" + escaped(clipped(text, kLongestCellText)) + "</td>";
}

void writeTable(std::string& html, const Study& study, const std::vector<DesignRecord>& records) {
  html += "<h2>Designs</h2>\n<table>\n<tr><th>design</th><th>status</th><th>stage</th>";
  for (const StudyParameter& p : study.parameters) html += "<th>" + escaped(p.name) + "</th>";
  for (const StudyResponse& r : study.responses) html += "<th>" + escaped(r.name) + "</th>";
  html += "</tr>\n";
  const std::size_t shown = std::min(records.size(), kMostTableRows);
  for (std::size_t i = 0; i < shown; ++i) {
    const DesignRecord& record = records[i];
    const std::string number = std::to_string(record.design);
    html += record.ok ? "<tr id=\"design-" + number + "\">" : "<tr class=\"failed\" id=\"design-" + number + "\">";
    html +=
        "<td>" + number + "</td><td>" + (record.ok ? "ok" : "failed") + "</td><td>" + escaped(record.stage) + "</td>";
    for (const StudyParameter& p : study.parameters) {
      const double* value = record.value(p.name);
      html += "<td>" + (value != nullptr ? shortNumber(*value) : "-") + "</td>";
    }
    for (const StudyResponse& r : study.responses) html += responseCell(record.response(r.name));
    html += "</tr>\n";
  }
  html += "</table>\n";
  if (records.size() > shown) {
    html += "<p class=\"note\">The table shows the first " + std::to_string(shown) + " of " +
            std::to_string(records.size()) + " designs; results.csv has them all.</p>\n";
  }
}

const char* kStyle =
    "body{font-family:sans-serif;margin:2em;color:#222}"
    "h2{margin-top:1.5em}"
    "figure{display:inline-block;margin:0 12px 12px 0;vertical-align:top}"
    "figcaption{font-size:12px;color:#555;max-width:400px}"
    "table{border-collapse:collapse;font-size:13px}"
    "th,td{border:1px solid #ccc;padding:2px 8px;text-align:right;white-space:nowrap}"
    "td.text{text-align:left;white-space:pre-wrap}"
    "tr.failed td{background:#fbe3e3;color:#8a0000}"
    ".failures li{margin-bottom:.3em}"
    ".message{white-space:pre-wrap;font-family:monospace}"
    ".note{color:#555}";

}  // namespace

std::string htmlReport(const Study& study, const std::vector<DesignRecord>& records, const ReportSummary& summary) {
  const std::size_t failed = static_cast<std::size_t>(
      std::count_if(records.begin(), records.end(), [](const DesignRecord& r) { return !r.ok; }));
  const std::size_t ok = records.size() - failed;
  const std::uint64_t designs = std::max<std::uint64_t>(summary.designs, records.size() + summary.notRun);

  std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Study " +
                     escaped(study.name) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
  html += "<h1>Study " + escaped(study.name) + "</h1>\n";
  html += "<p class=\"summary\">" + plural(designs, "design", "designs") + " in the study: " + std::to_string(ok) +
          " finished ok, " + std::to_string(failed) + " failed, " + std::to_string(summary.notRun) + " not run.</p>\n";
  writeFailures(html, records, failed);

  std::size_t plots = 0;
  for (const StudyResponse& r : study.responses) plots += r.text ? 0 : study.parameters.size();
  const std::size_t mostPoints =
      std::clamp(kMostPointsInReport / std::max<std::size_t>(plots, 1), kFewestPointsPerPlot, kMostPointsPerPlot);
  for (const StudyResponse& r : study.responses) writePlots(html, study, records, r, mostPoints);

  writeTable(html, study, records);
  html += "</body>\n</html>\n";
  return html;
}

void writeHtmlReport(const std::string& path, const Study& study, const std::vector<DesignRecord>& records,
                     const ReportSummary& summary) {
  const std::string html = htmlReport(study, records, summary);
  writeOutputFile(path, [&](std::ostream& out) { out.write(html.data(), static_cast<std::streamsize>(html.size())); });
}

}  // namespace portalhost
