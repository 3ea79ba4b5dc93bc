// Messages of the token machinery. Several of them carry four or five
// arguments, more than appendError takes, so they are formatted from a list;
// the kind prefix is settled first, exactly as appendError does it, so that an
// argument that happens to hold a prefix text is never rewritten.
#ifndef ORLIX_TAGGING_TOKEN_MESSAGES_H
#define ORLIX_TAGGING_TOKEN_MESSAGES_H

#include "portal/message_buffer.h"
#include "portal/message_format.h"

namespace ORLIX {
namespace Portals {
namespace tokenMessages {

inline String number(int value) { return numberText(static_cast<double>(value)); }

// The identifier of the form that names the file, when there is a file.
inline String inFile(const String& id, const String& fileName) {
  return fileName.empty() ? id : id + "InFile";
}

inline void error(String& message, const String& id, const StringList& args) {
  String prefixed;
  appendError(prefixed, lookupMessage("tagging", id));
  appendLine(message, formatMessage(prefixed, args));
}

inline void warning(String& message, const String& id, const StringList& args) {
  String prefixed;
  appendWarning(prefixed, lookupMessage("tagging", id));
  appendLine(message, formatMessage(prefixed, args));
}

// Arguments (row[, file], rest...): the file goes second when it is known.
inline StringList rowArgs(int row, const String& fileName, StringList rest) {
  StringList args{number(row)};
  if (!fileName.empty()) args.push_back(fileName);
  args.insert(args.end(), rest.begin(), rest.end());
  return args;
}

}  // namespace tokenMessages
}  // namespace Portals
}  // namespace ORLIX

#endif
