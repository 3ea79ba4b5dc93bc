#include "portal/message_buffer.h"

#include "portal/host/support.h"
#include "portal/message_format.h"
#include "portal/text.h"

namespace ORLIX {
namespace Portals {
namespace {

const char* const kErrorPrefix = "ERROR: ";
const char* const kWarningPrefix = "WARNING: ";
const char* const kNotePrefix = "NOTE: ";

String withPrefix(String text, const String& prefix) {
  for (const char* other : {kErrorPrefix, kWarningPrefix, kNotePrefix}) {
    if (prefix != other) text = replaceAll(text, other, prefix);
  }
  if (!startsWith(text, prefix)) text.insert(0, prefix);
  return text;
}

}  // namespace

String lookupMessage(const String& moduleName, const String& id) {
  return Support::StringTable::lookup(moduleName, ".Portal" + id);
}

void appendLine(String& buffer, const String& text) {
  if (!buffer.empty()) buffer += '\n';
  buffer += text;
}

void appendFormatted(String& buffer, const String& text, const String& a1) {
  appendLine(buffer, formatMessage(text, a1));
}

void appendFormatted(String& buffer, const String& text, const String& a1, const String& a2) {
  appendLine(buffer, formatMessage(text, a1, a2));
}

#define ORLIX_DEFINE_APPEND_KIND(function, prefix)                                         \
  void function(String& buffer, const String& text) {                                      \
    appendLine(buffer, withPrefix(text, prefix));                                          \
  }                                                                                        \
  void function(String& buffer, const String& text, const String& a1) {                    \
    appendLine(buffer, formatMessage(withPrefix(text, prefix), a1));                       \
  }                                                                                        \
  void function(String& buffer, const String& text, const String& a1, const String& a2) {  \
    appendLine(buffer, formatMessage(withPrefix(text, prefix), a1, a2));                   \
  }                                                                                        \
  void function(String& buffer, const String& text, const String& a1, const String& a2,    \
                const String& a3) {                                                        \
    appendLine(buffer, formatMessage(withPrefix(text, prefix), a1, a2, a3));               \
  }

ORLIX_DEFINE_APPEND_KIND(appendError, kErrorPrefix)
ORLIX_DEFINE_APPEND_KIND(appendWarning, kWarningPrefix)
ORLIX_DEFINE_APPEND_KIND(appendNote, kNotePrefix)

#undef ORLIX_DEFINE_APPEND_KIND

bool hasError(const String& text) {
  return contains(text, "ERROR") || contains(text, "Exception caught");
}

}  // namespace Portals
}  // namespace ORLIX
