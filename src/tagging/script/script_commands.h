// The commands of the script language that act on the file, the parameter
// list or the extracted values: their argument checks, bounds and effects.
// LOOP and the keywords without a handler are the interpreter's.
#ifndef ORLIX_TAGGING_SCRIPT_SCRIPT_COMMANDS_H
#define ORLIX_TAGGING_SCRIPT_SCRIPT_COMMANDS_H

#include <cstddef>

#include "portal/host/portal_host.h"
#include "portal/host/support.h"
#include "tagging/script/command_line.h"
#include "tagging/script/script_cursor.h"
#include "tagging/script/script_state.h"
#include "tagging/script/script_trace.h"

namespace ORLIX {
namespace Portals {

// What every script of one file runs against.
struct ScriptContext {
  Support::FileBufferedReader& reader;
  IPortalService* service;  // parameter and variable values
  ScriptResults& results;   // values extracted by output scripts
  ScriptTrace& trace;
  String filePath;  // the tagged file, named in field messages
};

class ScriptCommands {
 public:
  ScriptCommands(ScriptContext& context, ScriptState& state);

  // Runs one command with a handler (cursor, parameter, GET and SET commands);
  // false when it failed, its messages then in the call's messages.
  bool run(ScriptCommand command, CommandCall& call);

  // The trace of a command's start, for the interpreter's LOOP as well.
  void traceStart(const CommandCall& call);

 private:
  // Cursor and parameter commands (script_commands.cpp).
  void traceEnd();
  bool gotoLine(CommandCall& call);
  bool moveDown(CommandCall& call);
  bool moveUp(CommandCall& call);
  // GOTO_STRING, also the first step of every RELATIVE command; `column` is
  // where the found occurrence ends in its row.
  bool gotoString(CommandCall& call, std::size_t& column);
  // The RELATIVE commands' first step as its own command line; on success
  // the cursor is on the found row and `column` follows the occurrence.
  bool relativeSearch(CommandCall& call, const String& text, int instance, std::size_t& column);
  void nextParameter();
  void nextValue();

  // GET commands (script_get_commands.cpp). The *On forms work on `text`,
  // the whole row or, for the RELATIVE commands, what follows the occurrence.
  bool getValueFreeOn(CommandCall& call, const String& text);
  bool getValueFixedOn(CommandCall& call, const String& text);
  bool getRelativeValueFree(CommandCall& call);
  bool getRelativeValueFixed(CommandCall& call);
  bool getColumnFree(CommandCall& call);
  bool getColumnFixed(CommandCall& call);
  template <typename Extract>
  bool readColumn(CommandCall& call, const char* kind, const String& countArgument,
                  const String* endText, Extract extract);

  // SET commands (script_set_commands.cpp). `head` is the part of the row
  // before `text`, written back unchanged in front of it.
  bool setValueFreeOn(CommandCall& call, const String& head, const String& text);
  bool setValueFixedOn(CommandCall& call, const String& head, const String& text);
  bool setRelativeValueFree(CommandCall& call);
  bool setRelativeValueFixed(CommandCall& call);
  // The current value of the current parameter in `format`.
  bool valueToWrite(CommandCall& call, const String& format, String& value);
  void storeRow(const String& newText);

  // A delimiter set written with escapes; a bad escape fails the command.
  bool decodeText(CommandCall& call, const String& written, String& decoded);

  ScriptContext& context_;
  ScriptState& state_;
  ScriptCursor cursor_;
};

// Numbers in messages and internal command lines, as "%g" prints them.
String numberArg(double value);

}  // namespace Portals
}  // namespace ORLIX

#endif
