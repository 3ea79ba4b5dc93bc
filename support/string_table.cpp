// The message string table: texts by module and key, filled from the shipped
// resource file on first use and changed by the host through StringTableAdmin.
// The file format is described in README.md beside this file.
//
// Every access holds one mutex: hosts look texts up from worker threads, and the
// table is small enough that contention does not matter. The shipped file is
// loaded inside that lock by whichever call comes first, lookups and changes
// alike, so that a text the host sets can never be overwritten by a late load.
#include <map>
#include <mutex>
#include <utility>

#include "portal/host/support.h"
#include "support/host_api.h"
#include "support/text_lines.h"

namespace ORLIX {
namespace Support {

namespace {

using Detail::dropCarriageReturn;
using Detail::startsWith;
using Detail::trimBlanks;

// module -> key -> text; the ordering gives the dump its sorted order for free.
using Table = std::map<String, std::map<String, String>>;

struct TableState {
  std::mutex mutex;
  Table table;
  bool shippedLoaded = false;
  StringTableAdmin::LookupObserver observer;
};

TableState& state() {
  static TableState instance;
  return instance;
}

String unescape(const String& text) {
  String result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == '\\')) {
      result += text[i + 1] == 'n' ? '\n' : '\\';
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

String escape(const String& text) {
  String result;
  result.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      result += "\\n";
    } else if (c == '\\') {
      result += "\\\\";
    } else {
      result += c;
    }
  }
  return result;
}

// Reads the entries of one resource file into `table`. Malformed lines are
// skipped so that one slip does not cost every other text; the first of them is
// described in `error`.
bool loadInto(const String& path, Table& table, String& error) {
  FileReader in(path, true);
  if (!in.is_open()) {
    error = "Cannot open the string table " + path + ".";
    return false;
  }

  String module;
  bool haveModule = false;
  String line;
  int lineNumber = 0;
  bool ok = true;
  auto fail = [&](const String& reason) {
    if (ok) error = path + " line " + std::to_string(lineNumber) + ": " + reason;
    ok = false;
  };

  while (in.getLine(line)) {
    ++lineNumber;
    dropCarriageReturn(line);
    if (lineNumber == 1 && startsWith(line, "\xEF\xBB\xBF")) line.erase(0, 3);

    const String trimmed = trimBlanks(line);
    if (trimmed.empty() || trimmed[0] == '#') continue;

    if (trimmed.front() == '[' && trimmed.back() == ']') {
      module = trimBlanks(trimmed.substr(1, trimmed.size() - 2));
      haveModule = !module.empty();
      if (!haveModule) fail("a section needs a module name between the brackets.");
      continue;
    }

    String key;
    String text;
    const std::size_t assign = line.find(" = ");
    if (assign != String::npos) {
      key = trimBlanks(line.substr(0, assign));
      text = line.substr(assign + 3);
    } else if (line.size() >= 2 && line.compare(line.size() - 2, 2, " =") == 0) {
      key = trimBlanks(line.substr(0, line.size() - 2));  // an empty text
    } else {
      fail("expected \"key = text\" or \"[Module]\".");
      continue;
    }
    if (key.empty()) {
      fail("the entry has no key.");
      continue;
    }
    if (!haveModule) {
      fail("the entry comes before the first [Module] line.");
      continue;
    }
    table[module][key] = unescape(text);
  }
  if (in.bad()) fail("the file could not be read to its end.");
  return ok;
}

// Call with the mutex held.
void ensureShippedLoaded(TableState& s) {
  if (s.shippedLoaded) return;
  s.shippedLoaded = true;
  // Texts already present were set by the host and take precedence.
  Table shipped;
  String ignored;  // no channel to report it; a missing text shows as its key
  loadInto(resourceFolder() + "/strings.tbl", shipped, ignored);
  for (auto& module : shipped) {
    for (auto& entry : module.second) s.table[module.first].emplace(entry.first, std::move(entry.second));
  }
}

}  // namespace

String StringTable::lookup(const String& module, const String& key) {
  TableState& s = state();
  StringTableAdmin::LookupObserver observer;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    observer = s.observer;
  }
  // Outside the lock: an observer may well look texts up itself.
  if (observer) observer(module, key);

  std::lock_guard<std::mutex> lock(s.mutex);
  ensureShippedLoaded(s);
  const auto moduleIt = s.table.find(module);
  if (moduleIt != s.table.end()) {
    const auto keyIt = moduleIt->second.find(key);
    if (keyIt != moduleIt->second.end()) return keyIt->second;
  }
  return key;
}

String StringTable::dumpStringTableIdsAndMessages() {
  TableState& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  ensureShippedLoaded(s);
  String dump;
  for (const auto& module : s.table) {
    for (const auto& entry : module.second) {
      dump += module.first;
      dump += ' ';
      dump += entry.first;
      dump += " = ";
      dump += escape(entry.second);
      dump += '\n';
    }
  }
  return dump;
}

void StringTableAdmin::set(const String& module, const String& key, const String& text) {
  TableState& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  ensureShippedLoaded(s);
  s.table[module][key] = text;
}

bool StringTableAdmin::loadFile(const String& path, String& error) {
  // Read outside the lock: the file may be slow to reach.
  Table loaded;
  const bool ok = loadInto(path, loaded, error);
  TableState& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  ensureShippedLoaded(s);
  for (auto& module : loaded) {
    for (auto& entry : module.second) s.table[module.first][entry.first] = std::move(entry.second);
  }
  return ok;
}

void StringTableAdmin::reset() {
  TableState& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.table.clear();
  s.shippedLoaded = false;
}

void StringTableAdmin::setLookupObserver(LookupObserver observer) {
  TableState& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.observer = std::move(observer);
}

}  // namespace Support
}  // namespace ORLIX
