// For the tests of the script language: one script run against a small file,
// with a test service for values, the trace in memory, and everything the run
// reported kept for one-line assertions.
#ifndef ORLIX_TAGGING_SCRIPT_SCRIPT_TEST_RUN_H
#define ORLIX_TAGGING_SCRIPT_SCRIPT_TEST_RUN_H

#include <algorithm>
#include <memory>
#include <set>
#include <sstream>

#include "portal/host/support.h"
#include "portal/test_host.h"
#include "portal/text.h"
#include "tagging/script/script_interpreter.h"

namespace ORLIX {
namespace Portals {
namespace testing {

class ScriptRun {
 public:
  // `file` is the text of the file the scripts run against.
  explicit ScriptRun(const String& file, bool isInput = false)
      : isInput_(isInput), path_(folder_.write("data.txt", file)), reader_(path_) {}

  // Runs `code` (lines separated by line feeds, as a tag holds them) with
  // the given parameter or response names; the cursor stays where the last
  // run left it, as it does between the commands of one script.
  bool run(const String& code, const StringList& names = {"r"}) {
    ScriptState state = makeState(code, names);
    return interpreter().runScript(state, messages);
  }

  ScriptState makeState(const String& code, const StringList& names) {
    ScriptState state;
    state.lines = splitAt(code, '\n');
    state.isInput = isInput_;
    state.modifiedLines = &modified;
    state.traceLabel = "S_in_a1_data.txt";
    for (const String& name : names) {
      ScriptParameter parameter;
      parameter.name = name;
      parameter.numeric = numeric.count(name) != 0;
      const String& values = service.parameters[name];
      parameter.valueCount =
          values.empty() ? 0 : 1 + static_cast<int>(std::count(values.begin(), values.end(), '\n'));
      state.parameters.push_back(parameter);
    }
    return state;
  }

  ScriptInterpreter& interpreter() {
    trace_ = tracing ? ScriptTrace(&traceText) : ScriptTrace();
    context_.reset(new ScriptContext{reader_, &service, results, trace_, path_});
    interpreter_.reset(new ScriptInterpreter(*context_));
    return *interpreter_;
  }

  int row() const { return reader_.currentRowNumber() + 1; }  // 1-based, as users count
  const String& path() const { return path_; }
  Support::FileBufferedReader& reader() { return reader_; }
  // The row's text as the scripts left it.
  String line(int oneBased) {
    auto changed = modified.find(oneBased - 1);
    return changed != modified.end() ? changed->second : reader_.getLine(oneBased - 1);
  }
  StringList texts(const String& name) { return results.text[name]; }
  std::vector<double> numbers(const String& name) { return results.numeric[name]; }
  // The messages, one per entry.
  StringList messageLines() const {
    StringList lines;
    std::istringstream in(messages);
    for (String line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  TestService service;
  std::set<String> numeric;
  bool tracing = false;
  std::ostringstream traceText;
  ScriptResults results;
  ModifiedLines modified;
  String messages;

 private:
  bool isInput_;
  TempFolder folder_;
  String path_;
  Support::FileBufferedReader reader_;
  ScriptTrace trace_;
  std::unique_ptr<ScriptContext> context_;
  std::unique_ptr<ScriptInterpreter> interpreter_;
};

}  // namespace testing
}  // namespace Portals
}  // namespace ORLIX

#endif
