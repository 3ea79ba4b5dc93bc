// The tool-message parser: which files a tool run leaves behind and which of
// their lines are messages is data, not code, so that a new solver version (or a
// site with its own wrapper scripts) only needs a new configuration. The format
// is described in README.md beside this file.
//
// The configuration is read on every request. Requests come once per design and
// step, the file is a few lines long, and re-reading means an edited file takes
// effect without restarting the host.
#include <algorithm>
#include <filesystem>
#include <mutex>
#include <utility>

#include "portal/host/support.h"
#include "support/host_api.h"
#include "support/text_lines.h"

namespace ORLIX {
namespace Support {

namespace {

using Detail::appendLine;
using Detail::dropCarriageReturn;
using Detail::isBlank;
using Detail::startsWith;
using Detail::trimBlanks;

const char* const kErrorLead = "Tool-message configuration: ";

struct AdminState {
  std::mutex mutex;
  String configFile;
  ToolMessagesAdmin::Observer observer;
  ToolMessagesAdmin::Override override;
};

AdminState& adminState() {
  static AdminState instance;
  return instance;
}

struct Rule {
  String kind;
  bool atStart = false;  // "startswith" rather than "contains"
  String text;
};

struct Section {
  StringList filePatterns;
  std::vector<Rule> rules;
};

bool isKind(const String& word) {
  return word == "ERROR" || word == "WARNING" || word == "NOTE" || word == "OUTPUT";
}

// Splits off the first blank-delimited word of `text`; `rest` starts at the
// next non-blank character.
String firstWord(const String& text, String& rest) {
  std::size_t end = 0;
  while (end < text.size() && !isBlank(text[end])) ++end;
  std::size_t next = end;
  while (next < text.size() && isBlank(text[next])) ++next;
  rest = text.substr(next);
  return text.substr(0, end);
}

// Reads the configuration at `path` and keeps the sections for `tool` and
// `category`, in file order. Every malformed line is reported, whichever
// section it is in: a broken configuration should be noticed at the first run,
// not when the one step it concerns finally fails.
std::vector<Section> readConfiguration(const String& path, const String& tool,
                                       const String& category, String& error) {
  std::vector<Section> sections;
  FileReader in(path, true);
  if (!in.is_open()) {
    appendLine(error, kErrorLead + String("cannot open ") + path + ".");
    return sections;
  }

  enum class Where { Nowhere, BadSection, OtherSection, OurSection };
  Where where = Where::Nowhere;
  String line;
  int lineNumber = 0;
  auto report = [&](const String& reason) {
    appendLine(error, kErrorLead + path + " line " + std::to_string(lineNumber) + ": " + reason);
  };

  while (in.getLine(line)) {
    ++lineNumber;
    dropCarriageReturn(line);
    const String trimmed = trimBlanks(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;

    if (trimmed.front() == '[') {
      String secondRest;
      String rest;
      const String inner =
          trimmed.back() == ']' ? trimBlanks(trimmed.substr(1, trimmed.size() - 2)) : String();
      const String sectionTool = firstWord(inner, rest);
      const String sectionCategory = firstWord(rest, secondRest);
      if (sectionTool.empty() || sectionCategory.empty() || !secondRest.empty()) {
        report("a section header is written \"[tool category]\".");
        // Its lines belong to no section; they are not worth a report each.
        where = Where::BadSection;
        continue;
      }
      if (sectionTool == tool && sectionCategory == category) {
        sections.emplace_back();
        where = Where::OurSection;
      } else {
        where = Where::OtherSection;
      }
      continue;
    }

    if (where == Where::BadSection) continue;
    if (where == Where::Nowhere) {
      report("the line comes before the first \"[tool category]\" section.");
      continue;
    }

    String rest;
    const String word = firstWord(trimmed, rest);
    if (isKind(word)) {
      String text;
      const String match = firstWord(rest, text);
      if (match != "contains" && match != "startswith") {
        report("a rule needs \"contains\" or \"startswith\" after its kind.");
        continue;
      }
      // Quotes keep blanks at either end, and "" matches every line.
      const bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
      if (quoted) text = text.substr(1, text.size() - 2);
      if (text.empty() && !quoted) {
        report("the rule has no text to look for.");
        continue;
      }
      if (where == Where::OurSection) sections.back().rules.push_back(Rule{word, match == "startswith", text});
      continue;
    }

    const std::size_t assign = trimmed.find('=');
    if (assign != String::npos && trimBlanks(trimmed.substr(0, assign)) == "file") {
      const String pattern = trimBlanks(trimmed.substr(assign + 1));
      if (pattern.empty()) {
        report("\"file =\" needs a file name.");
        continue;
      }
      if (where == Where::OurSection) sections.back().filePatterns.push_back(pattern);
      continue;
    }

    if (!rest.empty() && (startsWith(rest, "contains ") || startsWith(rest, "startswith "))) {
      report("unknown message kind at the start of the rule; kinds are written in capitals.");
    } else {
      report("expected \"file = <path>\" or a rule \"<KIND> contains|startswith <text>\".");
    }
  }
  if (in.bad()) appendLine(error, kErrorLead + String("could not read ") + path + " to its end.");
  return sections;
}

// "${name}" becomes the variable's value; an unknown name gives an empty text,
// and a "${" without its "}" is kept as written.
String substituteVariables(const String& pattern, const StringStringMap& variables) {
  String result;
  std::size_t i = 0;
  while (i < pattern.size()) {
    if (pattern.compare(i, 2, "${") == 0) {
      const std::size_t close = pattern.find('}', i + 2);
      if (close != String::npos) {
        result += variables[pattern.substr(i + 2, close - i - 2)];
        i = close + 1;
        continue;
      }
    }
    result += pattern[i++];
  }
  return result;
}

// '*' matches any run of characters, the empty one included.
bool wildcardMatch(const String& pattern, const String& name) {
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t starAt = String::npos;
  std::size_t resumeAt = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starAt = p++;
      resumeAt = n;
    } else if (p < pattern.size() && pattern[p] == name[n]) {
      ++p;
      ++n;
    } else if (starAt != String::npos) {
      p = starAt + 1;
      n = ++resumeAt;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// The files a pattern names: itself, or with a '*' in its last component the
// matching files of that folder in name order.
StringList expandPattern(const String& path) {
  const std::size_t sep = path.find_last_of("/\\");
  const String name = sep == String::npos ? path : path.substr(sep + 1);
  if (name.find('*') == String::npos) return {path};

  const String prefix = sep == String::npos ? String() : path.substr(0, sep + 1);
  const String folder = sep == String::npos ? String(".") : sep == 0 ? prefix : path.substr(0, sep);

  StringList files;
  std::error_code failed;
  std::filesystem::directory_iterator it(folder, failed);
  for (const std::filesystem::directory_iterator end; !failed && it != end; it.increment(failed)) {
    std::error_code ignored;
    if (it->is_directory(ignored)) continue;
    const String entry = it->path().filename().string();
    if (wildcardMatch(name, entry)) files.push_back(prefix + entry);
  }
  std::sort(files.begin(), files.end());
  return files;
}

void collectMessages(const String& path, const std::vector<Rule>& rules, StringList& messages) {
  FileReader in(path, true);
  if (!in.is_open()) return;  // the tool may not have run (yet): nothing to say
  String line;
  while (in.getLine(line)) {
    dropCarriageReturn(line);
    for (const Rule& rule : rules) {
      const bool hit = rule.atStart ? startsWith(line, rule.text) : line.find(rule.text) != String::npos;
      if (hit) {
        messages.push_back(rule.kind + ": " + line);
        break;
      }
    }
  }
}

}  // namespace

StringList FileParser::getToolMessagesUsingConfigFile(const String& tool, const String& category,
                                                      const StringStringMap& variables,
                                                      String& error) {
  ToolMessagesAdmin::Observer observer;
  ToolMessagesAdmin::Override override;
  String configFile;
  {
    AdminState& s = adminState();
    std::lock_guard<std::mutex> lock(s.mutex);
    observer = s.observer;
    override = s.override;
    configFile = s.configFile;
  }
  // The host's callbacks run outside the lock so that they may call us back.
  if (observer) observer(tool, category, variables);
  if (override) {
    StringList answered;
    if (override(tool, category, answered)) return answered;
  }

  StringList messages;
  try {
    if (configFile.empty()) configFile = resourceFolder() + "/tool-messages.conf";
    for (const Section& section : readConfiguration(configFile, tool, category, error)) {
      if (section.rules.empty()) continue;
      for (const String& pattern : section.filePatterns) {
        for (const String& file : expandPattern(substituteVariables(pattern, variables))) {
          collectMessages(file, section.rules, messages);
        }
      }
    }
  } catch (const std::exception& e) {
    // Out of memory on a huge log, most likely; keep what was collected.
    appendLine(error, kErrorLead + String("reading the tool's messages stopped: ") + e.what());
  }
  return messages;
}

void ToolMessagesAdmin::setConfigFile(const String& path) {
  AdminState& s = adminState();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.configFile = path;
}

void ToolMessagesAdmin::setObserver(Observer observer) {
  AdminState& s = adminState();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.observer = std::move(observer);
}

void ToolMessagesAdmin::setOverride(Override override) {
  AdminState& s = adminState();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.override = std::move(override);
}

}  // namespace Support
}  // namespace ORLIX
