// GET commands: extract a field of the current row, or of several rows, as a
// value of the current response. Output scripts never change rows, so they
// read the rows as the file holds them.
#include "portal/message_buffer.h"
#include "portal/text.h"
#include "tagging/script/script_commands.h"
#include "tagging/script/script_values.h"
#include "tagging/tagging_impl.h"

namespace ORLIX {
namespace Portals {
namespace {

String countArg(const StringList& args) { return numberArg(static_cast<double>(args.size())); }

String joined(const StringList& args) { return join(args, ","); }

}  // namespace

bool ScriptCommands::getValueFreeOn(CommandCall& call, const String& text) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() != 2) return call.fail(".err.getValueFreeNumOptions", {countArg(args)});
  const int position = roundArgument(args[0]);
  if (position < 1) return call.fail(".err.getValueFreeSmallPos", {args[0]});
  String delimiters;
  if (!decodeText(call, args[1], delimiters)) return false;
  String token;
  String remarks;
  if (!TaggingImpl::extractDelimitedToken(position, text, cursor_.row() + 1, context_.filePath,
                                          delimiters, token, remarks)) {
    return call.failWith(remarks);
  }
  return recordValue(call, state_.parameter(), token, remarks, context_.results);
}

bool ScriptCommands::getValueFixedOn(CommandCall& call, const String& text) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() != 2) return call.fail(".err.getValueFixedNumOptions", {countArg(args)});
  const int start = roundArgument(args[0]);
  const int end = roundArgument(args[1]);
  if (start < 1) return call.fail(".err.getValueFixedSmallStartPos", {joined(args), args[0]});
  if (start > end) {
    return call.fail(".err.getValueFixedBigStartPos", {joined(args), args[0], args[1]});
  }
  String token;
  String remarks;
  if (!TaggingImpl::extractFixedToken(start, end, text, cursor_.row() + 1, context_.filePath, token,
                                      remarks)) {
    return call.failWith(remarks);
  }
  return recordValue(call, state_.parameter(), token, remarks, context_.results);
}

bool ScriptCommands::getRelativeValueFree(CommandCall& call) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() != 4) return call.fail(".err.getRelValueFreeNumOptions", {countArg(args)});
  const int position = roundArgument(args[2]);
  if (position < 1) return call.fail(".err.getRelValueFreeSmallPos", {args[2]});
  std::size_t column = 0;
  if (!relativeSearch(call, args[0], roundArgument(args[1]), column)) return false;
  CommandCall field("internal_get_value_free(" + numberArg(position) + ", " + args[3] + ")",
                    call.lineNumber(), call.messages());
  traceStart(field);
  return getValueFreeOn(field, context_.reader.getCurrentLine().substr(column));
}

bool ScriptCommands::getRelativeValueFixed(CommandCall& call) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() != 4) return call.fail(".err.getRelValueFixedNumOptions", {countArg(args)});
  const int start = roundArgument(args[2]);
  const int end = roundArgument(args[3]);
  if (start < 1) return call.fail(".err.getRelValueFixedSmallStartPos");
  if (start > end) return call.fail(".err.getRelValueFixedBigStartPos", {args[3], args[2]});
  std::size_t column = 0;
  if (!relativeSearch(call, args[0], roundArgument(args[1]), column)) return false;
  CommandCall field("internal_get_value_fixed(" + numberArg(start) + ", " + numberArg(end) + ")",
                    call.lineNumber(), call.messages());
  traceStart(field);
  return getValueFixedOn(field, context_.reader.getCurrentLine().substr(column));
}

bool ScriptCommands::getColumnFree(CommandCall& call) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() < 3 || args.size() > 4) {
    return call.fail(".err.getColumnFreeNumOptions", {countArg(args)});
  }
  const int position = roundArgument(args[0]);
  if (position < 1) return call.fail(".err.getColumnFreeSmallPos", {args[0]});
  if (!isKeywordArgument(args[1], "EOC") && roundArgument(args[1]) < 1) {
    return call.fail(".err.getColumnSmallNumLines", {"FREE", args[1]});
  }
  String delimiters;
  if (!decodeText(call, args[2], delimiters)) return false;
  const String& file = context_.filePath;
  return readColumn(call, "FREE", args[1], args.size() == 4 ? &args[3] : nullptr,
                    [&](const String& text, int row, String& token, String& remarks) {
                      return TaggingImpl::extractDelimitedToken(position, text, row, file,
                                                                delimiters, token, remarks);
                    });
}

bool ScriptCommands::getColumnFixed(CommandCall& call) {
  StringList args;
  if (!call.arguments(args)) return false;
  if (args.size() < 3 || args.size() > 4) {
    return call.fail(".err.getColumnFixedNumOptions", {countArg(args)});
  }
  const int start = roundArgument(args[0]);
  const int end = roundArgument(args[1]);
  if (end < start) return call.fail(".err.getColumnFixedSmallEndCol", {args[1], args[0]});
  if (!isKeywordArgument(args[2], "EOC") && roundArgument(args[2]) < 1) {
    return call.fail(".err.getColumnSmallNumLines", {"FIXED", args[2]});
  }
  const String& file = context_.filePath;
  return readColumn(call, "FIXED", args[2], args.size() == 4 ? &args[3] : nullptr,
                    [&](const String& text, int row, String& token, String& remarks) {
                      return TaggingImpl::extractFixedToken(start, end, text, row, file, token,
                                                            remarks);
                    });
}

// The column starts on the current row. A row count reads exactly that many
// rows and fails when the file ends first; "EOC" reads until a field cannot
// be read, the file ends, or a row holds the end text (that row is not read).
// The end text is used as written: it is neither trimmed nor decoded, and an
// empty one is no end text at all (it would end every column at once).
template <typename Extract>
bool ScriptCommands::readColumn(CommandCall& call, const char* kind, const String& countArgument,
                                const String* endText, Extract extract) {
  ColumnValues values(state_.parameter(), context_.results);
  Support::FileBufferedReader& reader = context_.reader;
  String& messages = call.messages();
  String token;
  String remarks;

  if (!isKeywordArgument(countArgument, "EOC")) {
    const int count = roundArgument(countArgument);
    for (int i = 0; i < count; ++i) {
      const int row = i == 0 ? cursor_.row() : cursor_.row() + 1;
      if (row >= cursor_.lineCount() || !cursor_.moveTo(row)) {
        return call.fail(".err.getColumnFoundEnd", {kind});
      }
      remarks.clear();
      if (!extract(reader.getLine(row), row + 1, token, remarks)) return call.failWith(remarks);
      values.add(token, remarks, messages);
    }
    return values.finish(call);
  }

  const bool hasEndText = endText != nullptr && !endText->empty();
  // Each row is fetched once: the end-text test and the extraction share it.
  String text = reader.getCurrentLine();
  for (;;) {
    const int row = cursor_.row();
    remarks.clear();
    if (!extract(text, row + 1, token, remarks)) {
      if (values.count() == 0) return call.failWith(remarks);
      appendNote(messages, lookupMessage(kScriptModule, ".msg.getColumnFoundEndFromError"),
                 numberArg(row + 1.0));
      break;
    }
    values.add(token, remarks, messages);
    if (!cursor_.moveTo(row + 1)) break;
    text = reader.getCurrentLine();
    if (hasEndText && text.find(*endText) != String::npos) {
      appendNote(messages, lookupMessage(kScriptModule, ".msg.getColumnFoundEndFromString"),
                 numberArg(row + 2.0));
      break;
    }
    if (hasError(remarks)) break;
  }
  return values.finish(call);
}

}  // namespace Portals
}  // namespace ORLIX
