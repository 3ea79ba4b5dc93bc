// The message buffer every operation fills: one message per line, each with its
// kind prefix, read by the host when the operation returns. An operation's
// result follows from hasError() on what it collected.
#ifndef ORLIX_PORTAL_MESSAGE_BUFFER_H
#define ORLIX_PORTAL_MESSAGE_BUFFER_H

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

// The string-table text for `id` (".err.x", ".msg.x", ".warn.x") as raised by
// `moduleName`: the portal's name, an engine's name, or "tagging".
String lookupMessage(const String& moduleName, const String& id);

// Gives `text` the kind's prefix (turning the other kinds' prefixes inside it
// into this one, so a quoted warning becomes part of the error), substitutes the
// arguments given, and appends it as a new line. The number of arguments passed
// picks the formatMessage form.
void appendError(String& buffer, const String& text);
void appendError(String& buffer, const String& text, const String& a1);
void appendError(String& buffer, const String& text, const String& a1, const String& a2);
void appendError(String& buffer, const String& text, const String& a1, const String& a2,
                 const String& a3);
void appendWarning(String& buffer, const String& text);
void appendWarning(String& buffer, const String& text, const String& a1);
void appendWarning(String& buffer, const String& text, const String& a1, const String& a2);
void appendWarning(String& buffer, const String& text, const String& a1, const String& a2,
                   const String& a3);
void appendNote(String& buffer, const String& text);
void appendNote(String& buffer, const String& text, const String& a1);
void appendNote(String& buffer, const String& text, const String& a1, const String& a2);
void appendNote(String& buffer, const String& text, const String& a1, const String& a2,
                const String& a3);

// Appends `text` as it is (no prefix handling).
void appendLine(String& buffer, const String& text);
void appendFormatted(String& buffer, const String& text, const String& a1);
void appendFormatted(String& buffer, const String& text, const String& a1, const String& a2);

// True when `text` holds "ERROR" or "Exception caught" anywhere (case counts).
bool hasError(const String& text);

}  // namespace Portals
}  // namespace ORLIX

#endif
