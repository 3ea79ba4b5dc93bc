#include "transcript_compare.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace portalhost {
namespace {

using nlohmann::json;

std::string shown(const json& value) {
  constexpr std::size_t kLimit = 300;
  std::string text = value.dump(-1, ' ', false, json::error_handler_t::replace);
  if (text.size() > kLimit) text = text.substr(0, kLimit) + "...";
  return text;
}

std::string escapeToken(const std::string& token) {
  std::string escaped;
  for (char c : token) {
    if (c == '~') {
      escaped += "~0";
    } else if (c == '/') {
      escaped += "~1";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

class Comparer {
 public:
  std::vector<std::pair<std::string, std::string>> lines;  // path, problem

  void compare(const json& expected, const json& actual, const std::string& path) {
    if (expected == actual) return;
    if (expected.is_object() && actual.is_object()) return compareObjects(expected, actual, path);
    if (expected.is_array() && actual.is_array()) return compareLists(expected, actual, path);
    lines.emplace_back(path, "expected " + shown(expected) + ", actual " + shown(actual));
  }

 private:
  void compareObjects(const json& expected, const json& actual, const std::string& path) {
    for (const auto& entry : expected.items()) {
      const std::string child = path + "/" + escapeToken(entry.key());
      if (actual.contains(entry.key())) {
        compare(entry.value(), actual.at(entry.key()), child);
      } else {
        lines.emplace_back(child, "missing, expected " + shown(entry.value()));
      }
    }
    for (const auto& entry : actual.items()) {
      if (!expected.contains(entry.key())) {
        lines.emplace_back(path + "/" + escapeToken(entry.key()), "unexpected " + shown(entry.value()));
      }
    }
  }

  // Longest common subsequence of equal elements; the gaps between matches are
  // compared pairwise, and what is left over is missing or unexpected.
  void compareLists(const json& expected, const json& actual, const std::string& path) {
    const std::size_t n = expected.size();
    const std::size_t m = actual.size();
    std::vector<std::vector<std::size_t>> common(n + 1, std::vector<std::size_t>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;) {
      for (std::size_t j = m; j-- > 0;) {
        common[i][j] = expected[i] == actual[j] ? common[i + 1][j + 1] + 1
                                                : std::max(common[i + 1][j], common[i][j + 1]);
      }
    }
    std::size_t i = 0;
    std::size_t j = 0;
    std::size_t gapExpected = 0;
    std::size_t gapActual = 0;
    while (i < n || j < m) {
      if (i < n && j < m && expected[i] == actual[j]) {
        flushGap(expected, actual, path, gapExpected, i, gapActual, j);
        gapExpected = ++i;
        gapActual = ++j;
      } else if (j < m && (i == n || common[i][j + 1] >= common[i + 1][j])) {
        ++j;
      } else {
        ++i;
      }
    }
    flushGap(expected, actual, path, gapExpected, n, gapActual, m);
  }

  void flushGap(const json& expected, const json& actual, const std::string& path, std::size_t expectedBegin,
                std::size_t expectedEnd, std::size_t actualBegin, std::size_t actualEnd) {
    std::size_t i = expectedBegin;
    std::size_t j = actualBegin;
    for (; i < expectedEnd && j < actualEnd; ++i, ++j) compare(expected[i], actual[j], path + "/" + std::to_string(i));
    for (; i < expectedEnd; ++i) {
      lines.emplace_back(path + "/" + std::to_string(i), "missing, expected " + shown(expected[i]));
    }
    for (; j < actualEnd; ++j) {
      lines.emplace_back(path + "/" + std::to_string(j), "unexpected " + shown(actual[j]));
    }
  }
};

// "/steps/3/..." -> " (step 3: parseInputFile)"
std::string stepLabel(const std::string& path, const json& expected, const json& actual) {
  const std::string prefix = "/steps/";
  if (path.compare(0, prefix.size(), prefix) != 0) return std::string();
  std::size_t end = prefix.size();
  while (end < path.size() && path[end] >= '0' && path[end] <= '9') ++end;
  if (end == prefix.size() || end > prefix.size() + 9) return std::string();
  const std::size_t index = std::stoul(path.substr(prefix.size(), end - prefix.size()));
  for (const json* transcript : {&expected, &actual}) {
    if (!transcript->is_object() || !transcript->contains("steps")) continue;
    const json& steps = transcript->at("steps");
    if (steps.is_array() && index < steps.size() && steps[index].is_object() && steps[index].contains("call")) {
      const json& call = steps[index].at("call");
      const std::string name = call.is_string() ? call.get<std::string>() : shown(call);
      return " (step " + std::to_string(index) + ": " + name + ")";
    }
  }
  return std::string();
}

}  // namespace

std::vector<std::string> compareTranscripts(const json& expected, const json& actual) {
  Comparer comparer;
  comparer.compare(expected, actual, "");
  std::vector<std::string> lines;
  for (const auto& difference : comparer.lines) {
    const std::string& path = difference.first;
    lines.push_back((path.empty() ? "/" : path) + stepLabel(path, expected, actual) + ": " + difference.second);
  }
  return lines;
}

}  // namespace portalhost
