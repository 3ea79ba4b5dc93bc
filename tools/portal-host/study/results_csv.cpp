#include "study/results_csv.h"

#include <algorithm>
#include <cmath>

#include "study/number_text.h"
#include "study/output_file.h"

namespace portalhost {
namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";

std::string csvField(const std::string& text) {
  const std::string valid = validUtf8(text);
  if (valid.find_first_of(",\"\r\n") == std::string::npos) return valid;
  std::string quoted = "\"";
  for (char c : valid) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

// How many cells a response's value takes: a text is one, however many
// lines the solver gave (results.jsonl joins them too).
std::size_t valueCount(const ResponseResult* response) {
  if (response == nullptr || !response->error.empty()) return 0;
  if (!response->numbers.empty()) return response->numbers.size();
  return response->texts.empty() ? 0 : 1;
}

std::string joinedText(const std::vector<std::string>& texts) {
  std::string out;
  for (std::size_t i = 0; i < texts.size(); ++i) out += (i ? "\n" : "") + texts[i];
  return out;
}

}  // namespace

std::string validUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
      continue;
    }
    // The continuation bytes each lead byte allows; the narrowed second byte
    // rules out overlong forms, surrogates and code points past U+10FFFF.
    int needed = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      needed = 1;
    } else if (lead == 0xE0) {
      needed = 2, low = 0xA0;
    } else if (lead == 0xED) {
      needed = 2, high = 0x9F;
    } else if (lead >= 0xE1 && lead <= 0xEF) {
      needed = 2;
    } else if (lead == 0xF0) {
      needed = 3, low = 0x90;
    } else if (lead >= 0xF1 && lead <= 0xF3) {
      needed = 3;
    } else if (lead == 0xF4) {
      needed = 3, high = 0x8F;
    } else {
      out += kReplacement;
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    int found = 0;
    while (found < needed && end < bytes.size()) {
      const auto next = static_cast<unsigned char>(bytes[end]);
      const bool fits = found == 0 ? next >= low && next <= high : next >= 0x80 && next <= 0xBF;
      if (!fits) break;
      ++end;
      ++found;
    }
    // A cut-short sequence is one U+FFFD, and the byte that cut it is read
    // again on its own, as results.jsonl's writer does.
    if (found == needed) {
      out.append(bytes.substr(i, end - i));
    } else {
      out += kReplacement;
    }
    i = end;
  }
  return out;
}

void writeResultsCsv(std::ostream& out, const Study& study, const std::vector<DesignRecord>& records) {
  std::vector<std::size_t> columns(study.responses.size(), 0);
  for (const DesignRecord& record : records) {
    for (std::size_t r = 0; r < study.responses.size(); ++r) {
      columns[r] = std::max(columns[r], valueCount(record.response(study.responses[r].name)));
    }
  }

  out << "design,status";
  for (const StudyParameter& p : study.parameters) out << ',' << csvField(p.name);
  for (std::size_t r = 0; r < study.responses.size(); ++r) {
    const std::string& name = study.responses[r].name;
    if (columns[r] <= 1) {
      out << ',' << csvField(name);
    } else {
      for (std::size_t i = 1; i <= columns[r]; ++i) out << ',' << csvField(name + "[" + std::to_string(i) + "]");
    }
  }
  out << '\n';

  std::string row;
  for (const DesignRecord& record : records) {
    row = std::to_string(record.design);
    row += record.ok ? ",ok" : ",failed";
    for (const StudyParameter& p : study.parameters) {
      row += ',';
      if (const double* value = record.value(p.name)) row += exactNumber(*value);
    }
    for (std::size_t r = 0; r < study.responses.size(); ++r) {
      const ResponseResult* response = record.response(study.responses[r].name);
      const std::size_t count = valueCount(response);
      const std::size_t cells = std::max<std::size_t>(columns[r], 1);
      for (std::size_t i = 0; i < cells; ++i) {
        row += ',';
        if (i >= count) continue;
        row += response->numbers.empty() ? csvField(joinedText(response->texts)) : exactNumber(response->numbers[i]);
      }
    }
    row += '\n';
    out << row;
  }
}

void writeResultsCsv(const std::string& path, const Study& study, const std::vector<DesignRecord>& records) {
  writeOutputFile(path, [&](std::ostream& out) { writeResultsCsv(out, study, records); });
}

}  // namespace portalhost
