#include "tagging/script/command_line.h"

#include <cmath>

#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/properties.h"
#include "portal/text.h"
#include "tagging/script/script_state.h"

namespace ORLIX {
namespace Portals {

const char* const kScriptModule = "Scripting";

namespace {

struct Keyword {
  const char* text;
  ScriptCommand command;
};

// The order is the language's: the first keyword the line starts with wins.
const Keyword kBothModes[] = {
    {"SET_PARAMETER_LIST", ScriptCommand::SetParameterList},
    {"OPEN_FILE", ScriptCommand::OpenFile},
    {"CLOSE_FILE", ScriptCommand::CloseFile},
    {"END_LOOP", ScriptCommand::EndLoop},
    {"END", ScriptCommand::End},
    {"LOOP", ScriptCommand::Loop},
    {"MOVE_UP", ScriptCommand::MoveUp},
    {"MOVE_DOWN", ScriptCommand::MoveDown},
    {"GOTO_LINE", ScriptCommand::GotoLine},
    {"GOTO_STRING", ScriptCommand::GotoString},
    {"GOTO_TOP", ScriptCommand::GotoTop},
    {"GOTO_END", ScriptCommand::GotoEnd},
    {"NEXT_PARAMETER", ScriptCommand::NextParameter},
};

const Keyword kOutputOnly[] = {
    {"GET_VALUE_FREE", ScriptCommand::GetValueFree},
    {"GET_VALUE_FIXED", ScriptCommand::GetValueFixed},
    {"GET_RELATIVE_VALUE_FREE", ScriptCommand::GetRelativeValueFree},
    {"GET_RELATIVE_VALUE_FIXED", ScriptCommand::GetRelativeValueFixed},
    {"GET_COLUMN_FREE", ScriptCommand::GetColumnFree},
    {"GET_COLUMN_FIXED", ScriptCommand::GetColumnFixed},
};

const Keyword kInputOnly[] = {
    {"SET_VALUE_FREE", ScriptCommand::SetValueFree},
    {"SET_VALUE_FIXED", ScriptCommand::SetValueFixed},
    {"SET_RELATIVE_VALUE_FREE", ScriptCommand::SetRelativeValueFree},
    {"SET_RELATIVE_VALUE_FIXED", ScriptCommand::SetRelativeValueFixed},
    {"NEXT_VALUE", ScriptCommand::NextValue},
};

template <std::size_t N>
bool findKeyword(const String& line, const Keyword (&keywords)[N], ScriptCommand& found) {
  for (const Keyword& keyword : keywords) {
    if (line.compare(0, std::char_traits<char>::length(keyword.text), keyword.text) == 0) {
      found = keyword.command;
      return true;
    }
  }
  return false;
}

// An escaped comma hides behind this while the list is cut at the others.
const char* const kCommaMarker = "*COMMA*";

}  // namespace

String bindArguments(const String& text, const StringList& args) {
  // Which argument each placeholder gets is decided on the text alone, and
  // the text is read once: an argument holding "%2" (a script line with a
  // format such as %2.1f) is never taken for a placeholder.
  const String* argumentOf[10] = {};
  std::size_t next = 0;
  for (char digit = '1'; digit <= '9' && next < args.size(); ++digit) {
    if (text.find(String{'%', digit}) != String::npos) argumentOf[digit - '0'] = &args[next++];
  }
  String bound;
  bound.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9' &&
        argumentOf[text[i + 1] - '0'] != nullptr) {
      bound += *argumentOf[text[i + 1] - '0'];
      ++i;
    } else {
      bound += c;
    }
  }
  return bound;
}

void appendScriptError(String& messages, const String& id, const StringList& args) {
  // The kind is settled before the arguments go in, so that an argument
  // holding a kind's prefix is never rewritten.
  String prefixed;
  appendError(prefixed, lookupMessage(kScriptModule, id));
  appendLine(messages, bindArguments(prefixed, args));
}

void appendScriptWarning(String& messages, const String& id, const StringList& args) {
  String prefixed;
  appendWarning(prefixed, lookupMessage(kScriptModule, id));
  appendLine(messages, bindArguments(prefixed, args));
}

ScriptCommand recognizeCommand(const String& line, bool isInput) {
  ScriptCommand command = ScriptCommand::Unrecognized;
  if (findKeyword(line, kBothModes, command)) return command;
  if (isInput ? findKeyword(line, kInputOnly, command) : findKeyword(line, kOutputOnly, command)) {
    return command;
  }
  return ScriptCommand::Unrecognized;
}

bool splitArguments(const String& line, StringList& args, String& errorId) {
  const auto open = line.find('(');
  if (open == String::npos) {
    errorId = ".err.cmdArgsNoOpenParens";
    return false;
  }
  // A ")" before the "(" closes nothing.
  const auto close = line.rfind(')');
  if (close == String::npos || close < open) {
    errorId = ".err.cmdArgsNoCloseParens";
    return false;
  }
  if (close == open + 1) {
    errorId = ".err.cmdArgsNoParams";
    return false;
  }
  const String inner = replaceAll(line.substr(open + 1, close - open - 1), "\\,", kCommaMarker);
  args.clear();
  String::size_type start = 0;
  for (;;) {
    const auto comma = inner.find(',', start);
    const String piece = inner.substr(start, comma == String::npos ? String::npos : comma - start);
    args.push_back(replaceAll(piece, kCommaMarker, "\\,"));
    if (comma == String::npos) break;
    start = comma + 1;
  }
  return true;
}

int roundArgument(const String& text) { return truncateToInt(std::round(toNumber(text))); }

bool isKeywordArgument(const String& argument, const char* keyword) {
  return trim(argument) == keyword;
}

bool CommandCall::arguments(StringList& args) {
  String errorId;
  if (splitArguments(line_, args, errorId)) return true;
  return fail(errorId, {line_});
}

void CommandCall::announceFailure() {
  appendScriptError(messages_, ".err.couldNotExecuteLine", {numberText(lineNumber_), line_});
}

bool CommandCall::fail(const String& id, const StringList& args) {
  announceFailure();
  appendScriptError(messages_, id, args);
  return false;
}

bool CommandCall::failWith(const String& detail) {
  announceFailure();
  if (!detail.empty()) appendError(messages_, detail);
  return false;
}

}  // namespace Portals
}  // namespace ORLIX
