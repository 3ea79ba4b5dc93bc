#include "tagging/script/script_trace.h"

#include "portal/message_format.h"

namespace ORLIX {
namespace Portals {
namespace {

const char* const kStars = "***************************************************************";
const char* const kRowIndent = "          ";

// Rows are shown 1-based, as the user counts them.
String lineNumber(int row) { return numberText(static_cast<double>(row) + 1.0); }

}  // namespace

void ScriptTrace::banner(const String& names, const String& firstRow) {
  if (!out_) return;
  std::ostream& out = *out_;
  out << kStars << '\n';
  out << "**            Executing script for parameter(s):             **\n";
  // Centred between the frame when it fits; a long list just starts indented.
  const int pad = (59 - static_cast<int>(names.size())) / 2;
  if (pad >= 1) {
    const String blanks(static_cast<std::size_t>(pad), ' ');
    out << "**" << blanks << names << blanks << "**\n";
  } else {
    out << "**    " << names << '\n';
  }
  out << kStars << '\n';
  out << "******* Read line number 1 (after opening the file) as: *******\n";
  out << kRowIndent << firstRow << '\n';
}

void ScriptTrace::commandStart(const String& commandLine, int scriptLine, int row,
                               const String& rowText) {
  if (!out_) return;
  std::ostream& out = *out_;
  out << "******* Executing -> " << commandLine << " *******\n";
  out << "        From script line # = " << numberText(scriptLine) << '\n';
  out << "        Initial line # = " << lineNumber(row) << '\n';
  out << "        Initial line read as:\n";
  out << kRowIndent << rowText << '\n';
}

void ScriptTrace::commandEnd(int row, const String& rowText) {
  if (!out_) return;
  std::ostream& out = *out_;
  out << "        Final line # = " << lineNumber(row) << '\n';
  out << "        Final line read as:\n";
  out << kRowIndent << rowText << '\n';
}

void ScriptTrace::modifiedLine(const String& newText) {
  if (!out_) return;
  *out_ << "        Modified line:\n" << kRowIndent << newText << '\n';
}

}  // namespace Portals
}  // namespace ORLIX
