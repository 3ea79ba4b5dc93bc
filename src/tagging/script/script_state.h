// What one run of a script works on: its lines, the parameters or responses it
// serves, the rows it has changed, and the values it has extracted so far.
#ifndef ORLIX_TAGGING_SCRIPT_SCRIPT_STATE_H
#define ORLIX_TAGGING_SCRIPT_SCRIPT_STATE_H

#include <map>
#include <vector>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

// The module under which the script engine's own messages are looked up.
extern const char* const kScriptModule;

struct ScriptParameter {
  String name;
  int valueIndex = 0;    // input: the value SET commands write (NEXT_VALUE moves it)
  int valueCount = 0;    // input: how many values the host gave for the design
  bool numeric = false;  // output: the response's data type is "Numeric"
};

// 0-based file row -> the row's text as SET commands left it.
using ModifiedLines = std::map<int, String>;

struct ScriptState {
  StringList lines;    // trimmed script lines; a LOOP body while the body runs
  int lineNumber = 1;  // script line number of lines[0]
  std::vector<ScriptParameter> parameters;
  int currentParameter = 0;
  // Shared by all scripts of one input file, so a later script sees the rows
  // an earlier one changed; never null while a script runs.
  ModifiedLines* modifiedLines = nullptr;
  String traceLabel;  // the tag-definition file holding the script
  bool isInput = true;
  // How many times a SET command gave a row a text it did not have: a LOOP(EOL)
  // pass that leaves this, the cursor and the parameter indexes as they were
  // would repeat itself forever.
  long long rowChanges = 0;
  int loopDepth = 0;         // LOOP blocks open around the lines now running
  long long loopLines = 0;  // script lines that the LOOP passes of this run have run

  bool hasParameter() const {
    return currentParameter >= 0 && static_cast<std::size_t>(currentParameter) < parameters.size();
  }
  ScriptParameter& parameter() { return parameters[static_cast<std::size_t>(currentParameter)]; }
};

// Response name -> values extracted by the output scripts of one file, until
// the engine hands them to the host.
struct ScriptResults {
  std::map<String, std::vector<double>> numeric;
  std::map<String, StringList> text;

  void clear() {
    numeric.clear();
    text.clear();
  }
};

}  // namespace Portals
}  // namespace ORLIX

#endif
