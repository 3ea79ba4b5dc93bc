// The interpreter: runs the lines of one script against one file, one command
// at a time, with LOOP blocks (nested ones too) and variable substitution.
#ifndef ORLIX_TAGGING_SCRIPT_SCRIPT_INTERPRETER_H
#define ORLIX_TAGGING_SCRIPT_SCRIPT_INTERPRETER_H

#include "tagging/script/script_commands.h"
#include "tagging/script/script_state.h"

namespace ORLIX {
namespace Portals {

class ScriptInterpreter {
 public:
  explicit ScriptInterpreter(ScriptContext& context) : context_(context) {}

  // Runs the state's lines; false when a line stopped the run. Every message
  // goes to `messages`.
  bool runScript(ScriptState& state, String& messages);
  // Runs one LOOP block: the state's lines are the block from its LOOP line
  // to its END_LOOP line, and lineNumber is the LOOP line's number.
  bool executeLoop(ScriptState& state, String& messages);
  // Replaces %name% references, scanning from the end of the line leftward:
  // %names% stays, %Param_Name% is the current parameter's name, and any other
  // name is a design variable's value. A reference without a value stays, with
  // a warning.
  void substituteVariables(String& line, int lineNumber, ScriptState& state, String& messages);

 private:
  // The LOOP block that starts at lines[first]; `last` is its END_LOOP line.
  bool collectBlock(const ScriptState& state, std::size_t first, const String& loopLine,
                    StringList& block, std::size_t& last, String& messages) const;

  ScriptContext& context_;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
