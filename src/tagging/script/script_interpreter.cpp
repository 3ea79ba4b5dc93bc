#include "tagging/script/script_interpreter.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "portal/message_buffer.h"
#include "portal/properties.h"
#include "portal/text.h"

namespace ORLIX {
namespace Portals {
namespace {

// Each LOOP level costs two frames of this interpreter; a script nesting
// deeper than any real one could exhaust the stack, so it is refused.
const int kMaxLoopDepth = 64;

// The script lines all LOOP passes of one script may run together: far more
// than any script needs for its file (a thousand lines of script for every
// line of the file), but a bound, so that counted loops with huge counts end
// as well, however long their bodies. Lines, not passes, are counted: a pass
// costs what its body holds.
long long lineBudget(int fileLines) {
  return std::max<long long>(100000, 1000LL * (static_cast<long long>(fileLines) + 1));
}

// Substitution never lets a line grow past this, nor looks at more references
// than this: a variable whose value holds its own reference would otherwise
// double the line at every step, and every step is a scan of the line.
const std::size_t kMaxSubstitutedLine = 1 << 16;
const int kMaxReferences = 1024;

String lookup(const char* id) { return lookupMessage(kScriptModule, id); }

// What decides the course of a LOOP pass: where the cursor is, which
// parameter and values are current, and the rows' texts. Extracted values do
// not steer anything, so a pass that leaves all this as it found it would be
// repeated exactly, forever.
struct PassState {
  int row = 0;
  int currentParameter = 0;
  std::vector<int> valueIndexes;
  long long rowChanges = 0;

  PassState(const ScriptState& state, int cursorRow)
      : row(cursorRow), currentParameter(state.currentParameter), rowChanges(state.rowChanges) {
    for (const ScriptParameter& parameter : state.parameters) {
      valueIndexes.push_back(parameter.valueIndex);
    }
  }
  bool operator==(const PassState& other) const {
    return row == other.row && currentParameter == other.currentParameter &&
           valueIndexes == other.valueIndexes && rowChanges == other.rowChanges;
  }
};

// Replaces every occurrence of `reference` by `value` and returns where the
// text at `at` (an occurrence) now starts; `at` itself when the line would
// grow too long, the line then left as it was.
std::size_t replaceReferences(String& line, const String& reference, const String& value,
                              std::size_t at) {
  std::size_t occurrences = 0;
  std::size_t before = 0;  // occurrences left of `at`
  for (auto pos = line.find(reference); pos != String::npos;
       pos = line.find(reference, pos + reference.size())) {
    ++occurrences;
    if (pos < at) ++before;
  }
  if (value.size() > reference.size() &&
      line.size() + occurrences * (value.size() - reference.size()) > kMaxSubstitutedLine) {
    return at;
  }
  line = replaceAll(line, reference, value);
  return at + before * value.size() - before * reference.size();
}

}  // namespace

bool ScriptInterpreter::runScript(ScriptState& state, String& messages) {
  int lineNumber = state.lineNumber;
  for (std::size_t i = 0; i < state.lines.size(); ++i, ++lineNumber) {
    if (state.lines[i].empty() || state.lines[i][0] == '$') continue;
    String line = state.lines[i];
    substituteVariables(line, lineNumber, state, messages);
    const ScriptCommand command = recognizeCommand(line, state.isInput);
    switch (command) {
      case ScriptCommand::SetParameterList:
        continue;
      case ScriptCommand::OpenFile:
        appendError(messages, lookup(".err.noOpenFileSupport"));
        return false;
      case ScriptCommand::CloseFile:
        appendWarning(messages, lookup(".warn.noCloseFileSupport"));
        continue;
      case ScriptCommand::EndLoop:
        // A matched END_LOOP is consumed with its block and never gets here.
        appendScriptError(messages, ".err.noLoop", {numberArg(lineNumber), line});
        return false;
      case ScriptCommand::End:
        appendWarning(messages, lookup(".warn.noEndSupport"));
        return false;
      case ScriptCommand::Unrecognized:
        appendScriptError(messages, ".err.unrecognizedKeyword", {line, numberArg(lineNumber)});
        return false;
      case ScriptCommand::Loop: {
        if (state.loopDepth >= kMaxLoopDepth) {
          CommandCall call(line, lineNumber, messages);
          return call.fail(".err.loopTooDeep", {numberArg(kMaxLoopDepth)});
        }
        StringList block;
        std::size_t last = 0;
        if (!collectBlock(state, i, line, block, last, messages)) return false;
        StringList outer = std::move(state.lines);
        const int outerNumber = state.lineNumber;
        state.lines = std::move(block);
        state.lineNumber = lineNumber;
        const bool ran = executeLoop(state, messages);
        state.lines = std::move(outer);
        state.lineNumber = outerNumber;
        if (!ran) return false;
        // Every line the block took counts, the empty ones it left out too.
        lineNumber += static_cast<int>(last - i);
        i = last;
        continue;
      }
      default: {
        CommandCall call(line, lineNumber, messages);
        if (!ScriptCommands(context_, state).run(command, call)) return false;
        continue;
      }
    }
  }
  return true;
}

bool ScriptInterpreter::collectBlock(const ScriptState& state, std::size_t first,
                                     const String& loopLine, StringList& block, std::size_t& last,
                                     String& messages) const {
  block.assign(1, loopLine);
  int depth = 1;
  int closed = 0;
  for (std::size_t i = first + 1; i < state.lines.size(); ++i) {
    const String& line = state.lines[i];
    if (line.empty()) continue;
    if (startsWith(line, "LOOP")) {
      ++depth;
    } else if (startsWith(line, "END_LOOP")) {
      ++closed;
    }
    block.push_back(line);
    if (closed == depth) {
      last = i;
      return true;
    }
  }
  appendError(messages, lookup(".err.noEndLoop"));
  return false;
}

// An "EOL" loop ends when a pass fails. Two kinds of loop would never get
// there, and both end with an error rather than run on: one whose pass leaves
// everything that steers the next pass as it was (it would repeat that pass
// forever), and one that runs more passes than the file has lines plus one
// (the pass that runs past the last line), which a loop that moves on through
// the file never needs.
bool ScriptInterpreter::executeLoop(ScriptState& state, String& messages) {
  if (state.lines.size() < 2) {  // a block is at least its LOOP and END_LOOP lines
    appendError(messages, lookup(".err.noEndLoop"));
    return false;
  }
  CommandCall call(state.lines.front(), state.lineNumber, messages);
  ScriptCommands(context_, state).traceStart(call);
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() != 1) {
    return call.fail(".err.loopNumOptions", {numberArg(static_cast<double>(args.size()))});
  }
  const String& argument = args[0];
  const bool untilFailure = isKeywordArgument(argument, "EOL");
  int count = 0;
  double number = 0.0;
  if (untilFailure) {
    appendNote(messages, lookup(".msg.loopUntilEndOfFile"));
  } else if (readsAsNumber(argument, number)) {
    count = roundArgument(argument);
  } else {
    const String value = context_.service
                             ? context_.service->parameterValue(String(), trim(argument), String(),
                                                                "Default", messages)
                             : String();
    if (value.empty()) return call.fail(".err.loopNumItersMissing", {argument});
    count = roundArgument(value);
  }
  if (!untilFailure && count < 1) return call.fail(".err.loopNumItersSmall", {argument});

  state.lines = StringList(state.lines.begin() + 1, state.lines.end() - 1);
  state.lineNumber += 1;
  ++state.loopDepth;
  const long long maxPasses = static_cast<long long>(context_.reader.numLines()) + 1;
  const long long bodyLines = std::max<long long>(1, static_cast<long long>(state.lines.size()));
  bool result = true;
  for (long long pass = 0;; ++pass) {
    if (!untilFailure && pass >= count) break;
    if (untilFailure && pass >= maxPasses) {
      result = call.fail(".err.loopTooManyPasses", {numberArg(static_cast<double>(pass))});
      break;
    }
    if (state.loopLines + bodyLines > lineBudget(context_.reader.numLines())) {
      result = call.fail(".err.loopLineBudget", {numberArg(static_cast<double>(state.loopLines)),
                                                 numberArg(context_.reader.numLines())});
      break;
    }
    state.loopLines += bodyLines;
    const PassState before(state, context_.reader.currentRowNumber());
    String passMessages;
    if (!runScript(state, passMessages)) {
      if (!untilFailure) {
        if (!passMessages.empty()) appendError(messages, passMessages);
        result = false;
      } else if (pass == 0) {
        call.announceFailure();
        if (!passMessages.empty()) appendError(messages, passMessages);
        appendError(messages,
                    lookup(state.isInput ? ".err.loopNoDataReplaced" : ".err.loopNoDataExtracted"));
        result = false;
      } else {
        // The normal end of an "EOL" loop: this pass ran past the data.
        if (!passMessages.empty()) appendNote(messages, passMessages);
        appendNote(messages, lookup(state.isInput ? ".msg.loopNoMoreDataReplaced"
                                                  : ".msg.loopNoMoreDataExtracted"));
      }
      break;
    }
    if (untilFailure && PassState(state, context_.reader.currentRowNumber()) == before) {
      result =
          call.fail(".err.loopNoProgress", {numberArg(static_cast<double>(pass + 1)),
                                            numberArg(context_.reader.currentRowNumber() + 1.0)});
      break;
    }
  }
  --state.loopDepth;
  return result;
}

void ScriptInterpreter::substituteVariables(String& line, int lineNumber, ScriptState& state,
                                            String& messages) {
  std::size_t end = line.size();
  for (int references = 0; end > 0 && references < kMaxReferences; ++references) {
    const auto close = line.rfind('%', end - 1);
    if (close == String::npos || close == 0) return;
    const auto open = line.rfind('%', close - 1);
    if (open == String::npos) return;
    end = open;
    const String name = line.substr(open + 1, close - open - 1);
    // "%%" names nothing, and %names% is the parameter list's own placeholder.
    if (name.empty() || name == "names") continue;
    String value;
    bool known = false;
    if (name == "Param_Name") {
      // Without parameters there is no name to put in: the reference stays,
      // as one to a variable without a value does.
      known = state.hasParameter();
      if (known) value = state.parameter().name;
    } else if (context_.service) {
      value = context_.service->parameterValue(String(), name, String(), "Default", messages);
      known = !value.empty();
    }
    if (!known) {
      appendScriptWarning(messages, ".warn.noVarValue",
                          {name, numberArg(lineNumber), state.traceLabel});
      continue;
    }
    end = replaceReferences(line, line.substr(open, close - open + 1), value, open);
  }
}

}  // namespace Portals
}  // namespace ORLIX
