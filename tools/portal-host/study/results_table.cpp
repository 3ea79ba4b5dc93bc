#include "study/results_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "study/number_text.h"
#include "study/results_csv.h"

namespace portalhost {
namespace {

// A study of 10^5 designs would scroll for minutes; results.csv has them all.
constexpr std::size_t kMostRows = 200;
constexpr std::size_t kMostMessagesPerDesign = 20;
constexpr std::size_t kLongestMessageLine = 500;  // characters
constexpr std::size_t kLongestTextCell = 24;      // characters

constexpr const char* kReplacement = "\xEF\xBF\xBD";

bool continuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Characters on the terminal, counting each code point as one.
std::size_t displayWidth(const std::string& text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return !continuationByte(c); }));
}

// Cut after `most` characters, never inside a character.
std::string clipped(const std::string& text, std::size_t most) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (continuationByte(text[i])) continue;
    if (characters++ == most) return text.substr(0, i) + "...";
  }
  return text;
}

// One line a terminal shows as written: a solver's escape sequences and
// other control characters (C1 ones too) must not steer it.
std::string terminalLine(const std::string& text) {
  const std::string valid = validUtf8(text);
  std::string out;
  out.reserve(valid.size());
  for (std::size_t i = 0; i < valid.size(); ++i) {
    const auto c = static_cast<unsigned char>(valid[i]);
    if (c == '\t') {
      out += ' ';
    } else if (c < 0x20 || c == 0x7F) {
      out += kReplacement;
    } else if (c == 0xC2 && i + 1 < valid.size() && static_cast<unsigned char>(valid[i + 1]) < 0xA0) {
      out += kReplacement;
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(clipped(terminalLine(line), kLongestMessageLine));
    if (end == std::string::npos) return out;
    start = end + 1;
  }
}

std::string responseCell(const ResponseResult* response) {
  if (response == nullptr || !response->hasValue()) return "-";
  if (!response->numbers.empty()) {
    std::string cell = shortNumber(response->numbers.front());
    if (response->numbers.size() > 1) cell += " (+" + std::to_string(response->numbers.size() - 1) + ")";
    return cell;
  }
  std::string text;
  for (const std::string& t : response->texts) text += (text.empty() ? "" : " ") + t;
  std::replace_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
  return clipped(terminalLine(text), kLongestTextCell);
}

std::string parameterCell(const DesignRecord& record, const std::string& name) {
  for (const auto& [parameter, value] : record.values) {
    if (parameter == name) return shortNumber(value);
  }
  return "-";
}

void printFailure(std::ostream& out, const DesignRecord& record) {
  out << "design " << record.design << " failed";
  if (!record.stage.empty()) out << " at " << terminalLine(record.stage);
  std::vector<std::string> detail;
  for (const std::string& reason : failureReasons(record)) {
    for (std::string& line : lines(reason)) detail.push_back(std::move(line));
  }
  for (std::size_t i = 0; i < record.earlierAttempts.size(); ++i) {
    const std::vector<std::string> attempt = lines(record.earlierAttempts[i]);
    detail.push_back("attempt " + std::to_string(i + 1) + " failed: " + attempt.front());
    detail.insert(detail.end(), attempt.begin() + 1, attempt.end());
  }
  if (!detail.empty()) out << ": " << detail.front();
  out << "\n";
  const std::size_t shown = std::min(detail.size(), kMostMessagesPerDesign + 1);
  for (std::size_t i = 1; i < shown; ++i) out << "    " << detail[i] << "\n";
  if (detail.size() > shown) out << "    ... and " << detail.size() - shown << " more lines\n";
}

}  // namespace

std::vector<std::string> failureReasons(const DesignRecord& record) {
  if (!record.messages.empty()) return record.messages;
  std::vector<std::string> reasons;
  for (const ResponseResult& r : record.responses) {
    if (!r.error.empty()) reasons.push_back(r.name + ": " + r.error);
  }
  return reasons;
}

void printResultsTable(std::ostream& out, const Study& study, const std::vector<DesignRecord>& records) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> header{"design"};
  for (const StudyParameter& p : study.parameters) header.push_back(terminalLine(p.name));
  for (const StudyResponse& r : study.responses) header.push_back(terminalLine(r.name));
  header.push_back("status");
  rows.push_back(std::move(header));

  const std::size_t shownRows = std::min(records.size(), kMostRows);
  for (std::size_t i = 0; i < shownRows; ++i) {
    const DesignRecord& record = records[i];
    std::vector<std::string> row{std::to_string(record.design)};
    for (const StudyParameter& p : study.parameters) row.push_back(parameterCell(record, p.name));
    for (const StudyResponse& r : study.responses) row.push_back(responseCell(record.response(r.name)));
    row.push_back(record.ok ? "ok" : "FAILED");
    rows.push_back(std::move(row));
  }

  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], displayWidth(row[c]));
  }
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) line += "  ";
      line.append(widths[c] - displayWidth(row[c]), ' ');
      line += row[c];
    }
    out << line << "\n";
  }
  if (records.size() > shownRows) {
    out << "... and " << records.size() - shownRows << " more designs (see results.csv)\n";
  }

  const std::size_t failed = static_cast<std::size_t>(
      std::count_if(records.begin(), records.end(), [](const DesignRecord& r) { return !r.ok; }));
  if (failed == 0) return;
  out << "\n";
  std::size_t listed = 0;
  for (const DesignRecord& record : records) {
    if (record.ok) continue;
    if (listed++ == kMostFailuresListed) break;
    printFailure(out, record);
  }
  if (failed > kMostFailuresListed) {
    out << "... and " << failed - kMostFailuresListed << " more failed designs (see results.jsonl)\n";
  }
}

}  // namespace portalhost
