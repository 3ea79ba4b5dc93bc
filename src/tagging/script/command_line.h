// One line of a script as a command: which keyword it starts with, its
// argument list, and how a failing command reports itself.
#ifndef ORLIX_TAGGING_SCRIPT_COMMAND_LINE_H
#define ORLIX_TAGGING_SCRIPT_COMMAND_LINE_H

#include <utility>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

enum class ScriptCommand {
  SetParameterList,
  OpenFile,
  CloseFile,
  EndLoop,
  End,
  Loop,
  MoveUp,
  MoveDown,
  GotoLine,
  GotoString,
  GotoTop,
  GotoEnd,
  NextParameter,
  GetValueFree,
  GetValueFixed,
  GetRelativeValueFree,
  GetRelativeValueFixed,
  GetColumnFree,
  GetColumnFixed,
  SetValueFree,
  SetValueFixed,
  SetRelativeValueFree,
  SetRelativeValueFixed,
  NextValue,
  Unrecognized,
};

// The command a line starts with. Keywords match by prefix, case-sensitively,
// tested in a fixed order (END_LOOP before END, so "END_LOOP" is never END);
// GET commands exist only in output scripts and SET commands and NEXT_VALUE
// only in input scripts: elsewhere they are unrecognised.
ScriptCommand recognizeCommand(const String& line, bool isInput);

// The argument list between the first "(" and the last ")", cut at every
// comma that is not written "\,"; arguments keep their blanks and "\," stays
// in them for the escape decoding. False with the identifier of what is wrong
// with the parentheses.
bool splitArguments(const String& line, StringList& args, String& errorId);

// A number argument: the longest number its text starts with (0 when none),
// rounded half away from zero, clamped to the int range.
int roundArgument(const String& text);

// Whether the argument, blanks aside, is `keyword` ("EOC", "EOL").
bool isKeywordArgument(const String& argument, const char* keyword);

// `text` with its placeholders filled in, the first argument at the lowest
// placeholder present and so on, as formatMessage does; but an empty argument
// keeps its place instead of being dropped, so that an empty script argument
// (two commas in a row) cannot shift the others into the wrong placeholders.
String bindArguments(const String& text, const StringList& args);

// The Scripting module's message `id` as an error or a warning, arguments
// bound as bindArguments does.
void appendScriptError(String& messages, const String& id, const StringList& args);
void appendScriptWarning(String& messages, const String& id, const StringList& args);

// One command line being executed: its text after variable substitution, its
// script line number, and where its messages go. A failure is reported as
// ".err.couldNotExecuteLine" followed by what went wrong, both as errors.
class CommandCall {
 public:
  CommandCall(String line, int lineNumber, String& messages)
      : line_(std::move(line)), lineNumber_(lineNumber), messages_(messages) {}

  const String& line() const { return line_; }
  int lineNumber() const { return lineNumber_; }
  String& messages() { return messages_; }

  // splitArguments, reporting a failure; true with the arguments in `args`.
  bool arguments(StringList& args);

  // Returns false, so a command can `return call.fail(...)`.
  bool fail(const String& id, const StringList& args = StringList());
  // Messages already formatted elsewhere (the token machinery's), as one error.
  bool failWith(const String& detail);
  // The announcement alone, when the messages that explain it are already there.
  void announceFailure();

 private:
  String line_;
  int lineNumber_;
  String& messages_;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
