#include "support/tool_message_config.h"

#include "support/text_lines.h"

namespace ORLIX {
namespace Support {
namespace Detail {

const char* const kToolMessageErrorLead = "Tool-message configuration: ";

namespace {

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

// Reads the configuration line by line. Every malformed line is reported,
// whichever section it is in: a broken configuration should be noticed at
// the first run, not when the one step it concerns finally fails.
class ConfigParser {
 public:
  explicit ConfigParser(const String& path) : path_(path) {}

  void line(const String& trimmed) {
    ++lineNumber_;
    if (trimmed.empty() || trimmed[0] == '#') return;
    if (trimmed.front() == '[') return header(trimmed);
    // Lines of a malformed section are not worth a report each.
    if (badSection_) return;
    if (config_.sections.empty()) {
      return report("the line comes before the first \"[tool category]\" section.");
    }
    String rest;
    const String word = firstWord(trimmed, rest);
    if (isKind(word)) return rule(word, rest);
    const std::size_t assign = trimmed.find('=');
    if (assign != String::npos && trimBlanks(trimmed.substr(0, assign)) == "file") {
      return filePattern(trimBlanks(trimmed.substr(assign + 1)));
    }
    if (!rest.empty() && (startsWith(rest, "contains ") || startsWith(rest, "startswith "))) {
      report("unknown message kind at the start of the rule; kinds are written in capitals.");
    } else {
      report("expected \"file = <path>\" or a rule \"<KIND> contains|startswith <text>\".");
    }
  }

  ToolMessageConfig take() { return std::move(config_); }

 private:
  void header(const String& trimmed) {
    String rest;
    String secondRest;
    const String inner =
        trimmed.back() == ']' ? trimBlanks(trimmed.substr(1, trimmed.size() - 2)) : String();
    const String tool = firstWord(inner, rest);
    const String category = firstWord(rest, secondRest);
    badSection_ = tool.empty() || category.empty() || !secondRest.empty();
    if (badSection_) return report("a section header is written \"[tool category]\".");
    config_.sections.push_back(MessageSection{tool, category, {}, {}});
  }

  void rule(const String& kind, const String& afterKind) {
    String text;
    const String match = firstWord(afterKind, text);
    if (match != "contains" && match != "startswith") {
      return report("a rule needs \"contains\" or \"startswith\" after its kind.");
    }
    // Quotes keep blanks at either end, and "" matches every line.
    const bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
    if (quoted) text = text.substr(1, text.size() - 2);
    if (text.empty() && !quoted) return report("the rule has no text to look for.");
    config_.sections.back().rules.push_back(MessageRule{kind, match == "startswith", text});
  }

  void filePattern(const String& pattern) {
    if (pattern.empty()) return report("\"file =\" needs a file name.");
    config_.sections.back().filePatterns.push_back(pattern);
  }

  void report(const String& reason) {
    config_.problems.push_back(kToolMessageErrorLead + path_ + " line " +
                               std::to_string(lineNumber_) + ": " + reason);
  }

  const String& path_;
  ToolMessageConfig config_;
  int lineNumber_ = 0;
  bool badSection_ = false;
};

}  // namespace

ToolMessageConfig parseToolMessageConfig(const String& path, const String& text) {
  ConfigParser parser(path);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == String::npos) end = text.size();
    String line = text.substr(start, end - start);
    dropCarriageReturn(line);
    parser.line(trimBlanks(line));
    start = end + 1;
  }
  return parser.take();
}

}  // namespace Detail
}  // namespace Support
}  // namespace ORLIX
