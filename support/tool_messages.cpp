// The tool-message parser: which files a tool run leaves behind and which of
// their lines are messages is data, not code, so that a new solver version (or a
// site with its own wrapper scripts) only needs a new configuration. The format
// is described in README.md beside this file.
//
// The configuration is read on every request, so that an edited file takes
// effect without restarting the host. Requests come several times per design
// (the run's check, the results module's check), so the parse of the text is
// kept and used again for as long as the file reads the same.
#include <algorithm>
#include <filesystem>
#include <memory>
#include <mutex>
#include <utility>

#include "portal/host/support.h"
#include "support/host_api.h"
#include "support/regular_file.h"
#include "support/text_lines.h"
#include "support/tool_message_config.h"

namespace ORLIX {
namespace Support {

namespace {

using Detail::appendLine;
using Detail::dropCarriageReturn;
using Detail::startsWith;

using Detail::kToolMessageErrorLead;
using Detail::MessageRule;
using Detail::MessageSection;
using Detail::ToolMessageConfig;

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

// The last configuration parsed, by its path and text. Shared, so that a
// request on another thread may replace it while this one still reads it.
struct ParsedConfig {
  std::mutex mutex;
  String path;
  String text;
  std::shared_ptr<const ToolMessageConfig> config;
};

ParsedConfig& parsedConfig() {
  static ParsedConfig instance;
  return instance;
}

// The configuration at `path`, read now; its problems go to `error` on every
// request, as they would with a fresh parse. Null when it cannot be opened.
std::shared_ptr<const ToolMessageConfig> readConfiguration(const String& path, String& error) {
  String text;
  const Detail::WholeRead read = Detail::readWholeRegularFile(path, text);
  if (read == Detail::WholeRead::cannotOpen) {
    appendLine(error, kToolMessageErrorLead + String("cannot open ") + path + ".");
    return nullptr;
  }
  std::shared_ptr<const ToolMessageConfig> config;
  ParsedConfig& parsed = parsedConfig();
  {
    std::lock_guard<std::mutex> lock(parsed.mutex);
    if (parsed.config && parsed.path == path && parsed.text == text) config = parsed.config;
  }
  if (!config) {
    config = std::make_shared<const ToolMessageConfig>(Detail::parseToolMessageConfig(path, text));
    if (read == Detail::WholeRead::ok) {
      std::lock_guard<std::mutex> lock(parsed.mutex);
      parsed.path = path;
      parsed.text = std::move(text);
      parsed.config = config;
    }
  }
  for (const String& problem : config->problems) appendLine(error, problem);
  if (read == Detail::WholeRead::readFailed) {
    appendLine(error, kToolMessageErrorLead + String("could not read ") + path + " to its end.");
  }
  return config;
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

// A file that cannot be opened says nothing: the tool may not have run (yet).
void collectMessages(const String& path, const std::vector<MessageRule>& rules, StringList& messages) {
  Detail::forEachLine(path, [&](String& line) {
    dropCarriageReturn(line);
    for (const MessageRule& rule : rules) {
      const bool hit = rule.atStart ? startsWith(line, rule.text) : line.find(rule.text) != String::npos;
      if (hit) {
        messages.push_back(rule.kind + ": " + line);
        break;
      }
    }
  });
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
    const std::shared_ptr<const ToolMessageConfig> config = readConfiguration(configFile, error);
    if (!config) return messages;
    for (const MessageSection& section : config->sections) {
      if (section.tool != tool || section.category != category || section.rules.empty()) continue;
      for (const String& pattern : section.filePatterns) {
        for (const String& file : expandPattern(substituteVariables(pattern, variables))) {
          collectMessages(file, section.rules, messages);
        }
      }
    }
  } catch (const std::exception& e) {
    // Out of memory on a huge log, most likely; keep what was collected.
    appendLine(error, kToolMessageErrorLead + String("reading the tool's messages stopped: ") + e.what());
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
