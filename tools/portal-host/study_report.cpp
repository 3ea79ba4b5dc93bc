#include "study_report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <sstream>

namespace portalhost {
namespace {

std::string number(double value) {
  if (std::isnan(value)) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

// The shortest text that reads back as the same number, for files read by programs.
std::string exact(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string escapeHtml(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string csvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string firstMessage(const DesignResult& r) {
  for (const auto& [name, outcome] : r.responses) {
    if (!outcome.error.empty()) return name + ": " + outcome.error;
  }
  return r.messages.empty() ? std::string() : r.messages.front();
}

}  // namespace

double firstValue(const ResponseOutcome& outcome) {
  return outcome.numbers.empty() ? std::nan("") : outcome.numbers.front();
}

void printResultsTable(std::ostream& out, const Study& study, const std::vector<DesignResult>& results) {
  std::vector<std::string> headers{"design"};
  for (const auto& p : study.parameters) headers.push_back(p.name);
  for (const auto& r : study.responses) headers.push_back(r.name);
  headers.push_back("status");
  std::vector<std::vector<std::string>> rows;
  for (const DesignResult& result : results) {
    std::vector<std::string> row{std::to_string(result.index + 1)};
    for (const auto& p : study.parameters) row.push_back(number(result.values.at(p.name)));
    for (const auto& r : study.responses) {
      auto found = result.responses.find(r.name);
      row.push_back(found == result.responses.end() ? "-" : number(firstValue(found->second)));
    }
    row.push_back(result.ok ? "ok" : "FAILED");
    rows.push_back(row);
  }
  std::vector<std::size_t> widths(headers.size());
  for (std::size_t c = 0; c < headers.size(); ++c) {
    widths[c] = headers[c].size();
    for (const auto& row : rows) widths[c] = std::max(widths[c], row[c].size());
  }
  auto printRow = [&](const std::vector<std::string>& row) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      out << (c ? "  " : "") << std::setw(static_cast<int>(widths[c])) << row[c];
    }
    out << "\n";
  };
  printRow(headers);
  for (const auto& row : rows) printRow(row);
  for (const DesignResult& result : results) {
    if (result.ok) continue;
    out << "design " << result.index + 1 << " failed: " << firstMessage(result) << "\n";
    for (const std::string& line : result.messages) out << "    " << line << "\n";
  }
}

void writeResultsCsv(const std::string& path, const Study& study, const std::vector<DesignResult>& results) {
  std::ofstream out(path, std::ios::binary);
  out << "design";
  for (const auto& p : study.parameters) out << "," << csvField(p.name);
  for (const auto& r : study.responses) out << "," << csvField(r.name) << "," << csvField(r.name + " values");
  out << ",status,message\n";
  for (const DesignResult& result : results) {
    out << result.index + 1;
    for (const auto& p : study.parameters) out << "," << exact(result.values.at(p.name));
    for (const auto& r : study.responses) {
      auto found = result.responses.find(r.name);
      const bool has = found != result.responses.end() && !found->second.numbers.empty();
      out << ",";
      if (has) out << exact(found->second.numbers.front());
      out << "," << (found == result.responses.end() ? 0 : found->second.numbers.size());
    }
    out << "," << (result.ok ? "ok" : "failed") << "," << csvField(result.ok ? "" : firstMessage(result)) << "\n";
  }
}

std::string scatterSvg(const std::string& xLabel, const std::string& yLabel,
                       const std::vector<std::pair<double, double>>& points) {
  const double width = 360, height = 260, left = 70, right = 15, top = 15, bottom = 45;
  double xMin = INFINITY, xMax = -INFINITY, yMin = INFINITY, yMax = -INFINITY;
  for (const auto& [x, y] : points) {
    xMin = std::min(xMin, x);
    xMax = std::max(xMax, x);
    yMin = std::min(yMin, y);
    yMax = std::max(yMax, y);
  }
  if (points.empty()) xMin = yMin = 0, xMax = yMax = 1;
  if (xMax == xMin) xMin -= 0.5, xMax += 0.5;
  if (yMax == yMin) yMin -= 0.5, yMax += 0.5;
  auto sx = [&](double x) { return left + (x - xMin) / (xMax - xMin) * (width - left - right); };
  auto sy = [&](double y) { return height - bottom - (y - yMin) / (yMax - yMin) * (height - top - bottom); };
  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
      << "\" font-family=\"sans-serif\" font-size=\"11\">\n"
      << "<rect x=\"" << left << "\" y=\"" << top << "\" width=\"" << width - left - right << "\" height=\""
      << height - top - bottom << "\" fill=\"#fafafa\" stroke=\"#888\"/>\n";
  for (int t = 0; t <= 4; ++t) {
    const double x = xMin + (xMax - xMin) * t / 4, y = yMin + (yMax - yMin) * t / 4;
    svg << "<text x=\"" << sx(x) << "\" y=\"" << height - bottom + 14 << "\" text-anchor=\"middle\">"
        << number(x) << "</text>\n"
        << "<text x=\"" << left - 4 << "\" y=\"" << sy(y) + 4 << "\" text-anchor=\"end\">" << number(y)
        << "</text>\n";
  }
  for (const auto& [x, y] : points) {
    svg << "<circle cx=\"" << sx(x) << "\" cy=\"" << sy(y) << "\" r=\"3.5\" fill=\"#1f6fb2\"/>\n";
  }
  svg << "<text x=\"" << (left + width - right) / 2 << "\" y=\"" << height - 8 << "\" text-anchor=\"middle\">"
      << escapeHtml(xLabel) << "</text>\n"
      << "<text transform=\"translate(14," << (top + height - bottom) / 2
      << ") rotate(-90)\" text-anchor=\"middle\">" << escapeHtml(yLabel) << "</text>\n</svg>\n";
  return svg.str();
}

void writeHtmlReport(const std::string& path, const Study& study, const std::vector<DesignResult>& results) {
  std::ofstream out(path, std::ios::binary);
  const auto failed = std::count_if(results.begin(), results.end(), [](const DesignResult& r) { return !r.ok; });
  out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" << escapeHtml(study.name)
      << "</title>\n<style>body{font-family:sans-serif;margin:2em}figure{display:inline-block;margin:8px}"
         "table{border-collapse:collapse}td,th{border:1px solid #ccc;padding:2px 8px;text-align:right}"
         ".failed{color:#b00}</style></head><body>\n"
      << "<h1>Study " << escapeHtml(study.name) << "</h1>\n<p>" << results.size() << " designs, " << failed
      << " failed. Deck: " << escapeHtml(study.deck) << "</p>\n";
  for (const auto& r : study.responses) {
    out << "<h2>" << escapeHtml(r.name) << "</h2>\n";
    for (const auto& p : study.parameters) {
      std::vector<std::pair<double, double>> points;
      for (const DesignResult& result : results) {
        auto found = result.responses.find(r.name);
        if (!result.ok || found == result.responses.end() || found->second.numbers.empty()) continue;
        points.emplace_back(result.values.at(p.name), found->second.numbers.front());
      }
      out << "<figure>" << scatterSvg(p.name, r.name, points) << "</figure>\n";
    }
  }
  out << "<h2>Designs</h2>\n<table><tr><th>design</th>";
  for (const auto& p : study.parameters) out << "<th>" << escapeHtml(p.name) << "</th>";
  for (const auto& r : study.responses) out << "<th>" << escapeHtml(r.name) << "</th>";
  out << "<th>status</th></tr>\n";
  for (const DesignResult& result : results) {
    out << "<tr" << (result.ok ? "" : " class=\"failed\"") << "><td>" << result.index + 1 << "</td>";
    for (const auto& p : study.parameters) out << "<td>" << number(result.values.at(p.name)) << "</td>";
    for (const auto& r : study.responses) {
      auto found = result.responses.find(r.name);
      out << "<td>" << (found == result.responses.end() ? "-" : number(firstValue(found->second))) << "</td>";
    }
    out << "<td>" << (result.ok ? "ok" : escapeHtml(firstMessage(result))) << "</td></tr>\n";
  }
  out << "</table>\n</body></html>\n";
}

}  // namespace portalhost
