// SET commands: write the current value of the current parameter into a field
// of the current row. The row's new text is kept in the modified lines; the
// file itself is rewritten by the engine once all scripts of the file ran.
#include "portal/message_buffer.h"
#include "portal/text.h"
#include "tagging/script/script_commands.h"
#include "tagging/tagging_impl.h"

namespace ORLIX {
namespace Portals {
namespace {

String countArg(const StringList& args) { return numberArg(static_cast<double>(args.size())); }

String joined(const StringList& args) { return join(args, ","); }

// Piece `index` of a text of values separated by line feeds (pieces are not
// trimmed); false when there is no such piece, and an empty text has none.
bool valuePiece(const String& values, int index, String& piece) {
  if (values.empty() || index < 0) return false;
  String::size_type start = 0;
  for (int i = 0; i < index; ++i) {
    start = values.find('\n', start);
    if (start == String::npos) return false;
    ++start;
  }
  const auto end = values.find('\n', start);
  piece = values.substr(start, end == String::npos ? String::npos : end - start);
  return true;
}

// A row of a file written on Windows ends in a carriage return. That is the
// row's line end, no part of its last field: the value goes into the fields
// and the row keeps its end.
struct RowEnd {
  explicit RowEnd(const String& text)
      : carriageReturn(!text.empty() && text.back() == '\r'),
        fields(carriageReturn ? text.substr(0, text.size() - 1) : text) {}
  String restore(const String& newFields) const {
    return carriageReturn ? newFields + '\r' : newFields;
  }
  bool carriageReturn;
  String fields;
};

}  // namespace

// The value is asked for again in the command's own format; what the host
// gives may have fewer values than it gave in "Default". Writing past the
// last value (or any value of an empty text) would invent one, so the
// command fails instead.
bool ScriptCommands::valueToWrite(CommandCall& call, const String& format, String& value) {
  const ScriptParameter& parameter = state_.parameter();
  const String values = context_.service
                            ? context_.service->parameterValue(String(), parameter.name, String(),
                                                               trim(format), call.messages())
                            : String();
  if (valuePiece(values, parameter.valueIndex, value)) return true;
  return call.fail(".err.noParameterValue",
                   {parameter.name, numberArg(parameter.valueIndex + 1.0)});
}

void ScriptCommands::storeRow(const String& newText) {
  const int row = cursor_.row();
  if (cursor_.currentLineText() != newText) ++state_.rowChanges;
  (*state_.modifiedLines)[row] = newText;
  context_.trace.modifiedLine(newText);
}

bool ScriptCommands::setValueFreeOn(CommandCall& call, const String& head, const String& text) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() != 3) return call.fail(".err.setValueFreeNumOptions", {countArg(args)});
  const int position = roundArgument(args[0]);
  if (position < 1) return call.fail(".err.setValueFreeSmallPos", {args[0]});
  String delimiters;
  String value;
  if (!decodeText(call, args[1], delimiters) || !valueToWrite(call, args[2], value)) return false;
  const RowEnd row(text);
  String newText;
  String remarks;
  if (!TaggingImpl::replaceDelimitedToken(position, row.fields, cursor_.row() + 1,
                                          context_.filePath, delimiters, value, newText,
                                          remarks)) {
    return call.failWith(remarks);
  }
  if (!remarks.empty()) appendLine(call.messages(), remarks);
  storeRow(head + row.restore(newText));
  return true;
}

bool ScriptCommands::setValueFixedOn(CommandCall& call, const String& head, const String& text) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() != 3) return call.fail(".err.setValueFixedNumOptions", {countArg(args)});
  const int start = roundArgument(args[0]);
  int end = roundArgument(args[1]);
  if (start < 1) return call.fail(".err.setValueFixedSmallStartPos", {joined(args), args[0]});
  if (end < start) {
    return call.fail(".err.setValueFixedSmallEndPos", {joined(args), args[0], args[1]});
  }
  String value;
  if (!valueToWrite(call, args[2], value)) return false;
  const RowEnd row(text);
  String newText;
  String remarks;
  if (!TaggingImpl::replaceFixedToken(start, end, row.fields, cursor_.row() + 1,
                                      context_.filePath, value, newText, remarks)) {
    return call.failWith(remarks);
  }
  if (!remarks.empty()) appendLine(call.messages(), remarks);
  storeRow(head + row.restore(newText));
  return true;
}

bool ScriptCommands::setRelativeValueFree(CommandCall& call) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() != 5) return call.fail(".err.setRelativeValueFreeNumOptions", {countArg(args)});
  const int position = roundArgument(args[2]);
  if (position < 1) return call.fail(".err.setRelativeValueFreeSmallPos", {args[2]});
  std::size_t column = 0;
  if (!relativeSearch(call, args[0], roundArgument(args[1]), column)) return false;
  CommandCall field(
      "internal_set_value_free(" + numberArg(position) + ", " + args[3] + ", " + args[4] + ")",
      call.lineNumber(), call.messages());
  traceStart(field);
  const String row = cursor_.currentLineText();
  return setValueFreeOn(field, row.substr(0, column), row.substr(column));
}

bool ScriptCommands::setRelativeValueFixed(CommandCall& call) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() != 5) return call.fail(".err.setRelativeValueFixedNumOptions", {countArg(args)});
  const int start = roundArgument(args[2]);
  const int end = roundArgument(args[3]);
  if (start < 1) return call.fail(".err.setRelativeValueFixedSmallStartPos");
  if (start > end) return call.fail(".err.setRelativeValueFixedBigStartPos");
  std::size_t column = 0;
  if (!relativeSearch(call, args[0], roundArgument(args[1]), column)) return false;
  CommandCall field(
      "internal_set_value_fixed(" + numberArg(start) + ", " + numberArg(end) + ", " + args[4] + ")",
      call.lineNumber(), call.messages());
  traceStart(field);
  const String row = cursor_.currentLineText();
  return setValueFixedOn(field, row.substr(0, column), row.substr(column));
}

}  // namespace Portals
}  // namespace ORLIX
