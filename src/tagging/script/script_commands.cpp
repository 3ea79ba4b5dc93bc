#include "tagging/script/script_commands.h"

#include "portal/message_format.h"
#include "tagging/tagging_impl.h"

namespace ORLIX {
namespace Portals {
namespace {

// Commands that work on the current parameter or response.
bool needsParameter(ScriptCommand command) {
  switch (command) {
    case ScriptCommand::NextParameter:
    case ScriptCommand::NextValue:
    case ScriptCommand::GetValueFree:
    case ScriptCommand::GetValueFixed:
    case ScriptCommand::GetRelativeValueFree:
    case ScriptCommand::GetRelativeValueFixed:
    case ScriptCommand::GetColumnFree:
    case ScriptCommand::GetColumnFixed:
    case ScriptCommand::SetValueFree:
    case ScriptCommand::SetValueFixed:
    case ScriptCommand::SetRelativeValueFree:
    case ScriptCommand::SetRelativeValueFixed:
      return true;
    default:
      return false;
  }
}

String countArg(const StringList& args) { return numberArg(static_cast<double>(args.size())); }

}  // namespace

String numberArg(double value) { return numberText(value); }

ScriptCommands::ScriptCommands(ScriptContext& context, ScriptState& state)
    : context_(context), state_(state), cursor_(context.reader, *state.modifiedLines) {}

void ScriptCommands::traceStart(const CommandCall& call) {
  if (!context_.trace.isOn()) return;
  context_.trace.commandStart(call.line(), call.lineNumber(), cursor_.row(),
                              cursor_.currentLineText());
}

void ScriptCommands::traceEnd() {
  if (!context_.trace.isOn()) return;
  context_.trace.commandEnd(cursor_.row(), cursor_.currentLineText());
}

bool ScriptCommands::run(ScriptCommand command, CommandCall& call) {
  traceStart(call);
  // A script whose parameter list is empty has no current parameter: the
  // commands that need one fail instead of reaching into the empty list.
  if (needsParameter(command) && !state_.hasParameter()) {
    return call.fail(".err.noCurrentParameter");
  }
  std::size_t column = 0;
  switch (command) {
    case ScriptCommand::GotoTop:
      cursor_.moveTo(0);
      traceEnd();
      return true;
    case ScriptCommand::GotoEnd:
      cursor_.gotoEnd();
      traceEnd();
      return true;
    case ScriptCommand::GotoLine:
      return gotoLine(call);
    case ScriptCommand::MoveDown:
      return moveDown(call);
    case ScriptCommand::MoveUp:
      return moveUp(call);
    case ScriptCommand::GotoString:
      return gotoString(call, column);
    case ScriptCommand::NextParameter:
      nextParameter();
      return true;
    case ScriptCommand::NextValue:
      nextValue();
      return true;
    case ScriptCommand::GetValueFree:
      return getValueFreeOn(call, context_.reader.getCurrentLine());
    case ScriptCommand::GetValueFixed:
      return getValueFixedOn(call, context_.reader.getCurrentLine());
    case ScriptCommand::GetRelativeValueFree:
      return getRelativeValueFree(call);
    case ScriptCommand::GetRelativeValueFixed:
      return getRelativeValueFixed(call);
    case ScriptCommand::GetColumnFree:
      return getColumnFree(call);
    case ScriptCommand::GetColumnFixed:
      return getColumnFixed(call);
    case ScriptCommand::SetValueFree:
      return setValueFreeOn(call, String(), cursor_.currentLineText());
    case ScriptCommand::SetValueFixed:
      return setValueFixedOn(call, String(), cursor_.currentLineText());
    case ScriptCommand::SetRelativeValueFree:
      return setRelativeValueFree(call);
    case ScriptCommand::SetRelativeValueFixed:
      return setRelativeValueFixed(call);
    default:
      return true;  // the interpreter's own keywords never come here
  }
}

bool ScriptCommands::gotoLine(CommandCall& call) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() != 1) return call.fail(".err.gotoLineNumOptions", {countArg(args)});
  const int line = roundArgument(args[0]);
  if (line < 1 || line > cursor_.lineCount()) {
    return call.fail(".err.gotoLineInvalidLine", {args[0], numberArg(cursor_.lineCount())});
  }
  cursor_.moveTo(line - 1);
  traceEnd();
  return true;
}

bool ScriptCommands::moveDown(CommandCall& call) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() != 1) return call.fail(".err.moveDownNumOptions", {countArg(args)});
  const int lines = roundArgument(args[0]);
  if (lines < 1) return call.fail(".err.moveDownLinesSmall", {numberArg(lines)});
  // In 64 bits, so that a huge count cannot wrap round to a valid row.
  const long long target = static_cast<long long>(cursor_.row()) + lines;
  if (target >= cursor_.lineCount()) return call.fail(".err.moveDownLinesBig", {numberArg(lines)});
  cursor_.moveTo(static_cast<int>(target));
  traceEnd();
  return true;
}

bool ScriptCommands::moveUp(CommandCall& call) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() != 1) return call.fail(".err.moveUpNumOptions", {countArg(args)});
  const int lines = roundArgument(args[0]);
  if (lines < 1) return call.fail(".err.moveUpNumLinesSmall", {numberArg(lines)});
  // Row 0 cannot be reached this way: a count equal to the row is refused.
  if (lines >= cursor_.row()) {
    return call.fail(".err.moveUpNumLinesBig", {numberArg(lines), numberArg(cursor_.row() + 1.0)});
  }
  cursor_.moveTo(cursor_.row() - lines);
  traceEnd();
  return true;
}

bool ScriptCommands::gotoString(CommandCall& call, std::size_t& column) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() != 2) return call.fail(".err.gotoStringNumOptions", {countArg(args)});
  String text;
  if (!decodeText(call, args[0], text)) return false;
  const int instance = roundArgument(args[1]);
  if (instance == 0) return call.fail(".err.gotoStringInstanceZero");
  const ScriptCursor::Search search = cursor_.findText(text, instance);
  if (!search.found) {
    return call.fail(instance > 0 ? ".err.gotoStringNotFoundDown" : ".err.gotoStringNotFoundUp",
                     {text, numberArg(static_cast<double>(search.count))});
  }
  column = search.column;
  traceEnd();
  return true;
}

bool ScriptCommands::relativeSearch(CommandCall& call, const String& text, int instance,
                                    std::size_t& column) {
  CommandCall search("internal_goto_string (" + text + ", " + numberArg(instance) + ")",
                     call.lineNumber(), call.messages());
  traceStart(search);
  return gotoString(search, column);
}

void ScriptCommands::nextParameter() {
  const int last = static_cast<int>(state_.parameters.size()) - 1;
  state_.currentParameter = state_.currentParameter >= last ? 0 : state_.currentParameter + 1;
}

void ScriptCommands::nextValue() {
  ScriptParameter& parameter = state_.parameter();
  parameter.valueIndex =
      parameter.valueIndex >= parameter.valueCount - 1 ? 0 : parameter.valueIndex + 1;
}

bool ScriptCommands::decodeText(CommandCall& call, const String& written, String& decoded) {
  String problem;
  if (TaggingImpl::parseDelimiters(written, decoded, problem)) return true;
  return call.failWith(problem);
}

}  // namespace Portals
}  // namespace ORLIX
