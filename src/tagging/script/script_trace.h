// The verbose trace of a script run: a banner per script, and for every
// command where it started, where it ended and what it changed. Written only
// while the engine's trace file is open; without one every call is a no-op.
#ifndef ORLIX_TAGGING_SCRIPT_SCRIPT_TRACE_H
#define ORLIX_TAGGING_SCRIPT_SCRIPT_TRACE_H

#include <ostream>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

class ScriptTrace {
 public:
  ScriptTrace() = default;
  explicit ScriptTrace(std::ostream* out) : out_(out) {}

  bool isOn() const { return out_ != nullptr; }

  // `names` is the parameter list as the tag holds it; `firstRow` the text of
  // the file's first row.
  void banner(const String& names, const String& firstRow);
  void commandStart(const String& commandLine, int scriptLine, int row, const String& rowText);
  void commandEnd(int row, const String& rowText);
  void modifiedLine(const String& newText);

 private:
  std::ostream* out_ = nullptr;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
