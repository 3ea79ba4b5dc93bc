// The support library's host-side API: what a host (and only a host) uses to
// configure the string table and the tool-message parser and to watch the
// portal's use of them. The portal never includes this header.
#ifndef ORLIX_SUPPORT_HOST_API_H
#define ORLIX_SUPPORT_HOST_API_H

#include <functional>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Support {

class StringTableAdmin {
 public:
  using LookupObserver = std::function<void(const String& module, const String& key)>;

  // Adds or replaces one text.
  static void set(const String& module, const String& key, const String& text);
  // Loads a string-table resource file (format in the README); entries replace
  // earlier ones. False with a reason in `error` when the file cannot be read or
  // has a malformed line.
  static bool loadFile(const String& path, String& error);
  // Drops every text, including the shipped ones (they load again on next use).
  static void reset();
  // Called on every lookup; an empty function removes the observer.
  static void setLookupObserver(LookupObserver observer);
};

class ToolMessagesAdmin {
 public:
  using Observer = std::function<void(const String& tool, const String& category,
                                      const StringStringMap& variables)>;
  // Answers a request instead of the configuration; return false to fall back
  // to the configuration.
  using Override = std::function<bool(const String& tool, const String& category,
                                      StringList& messages)>;

  // The configuration file to use instead of the shipped one; empty restores it.
  static void setConfigFile(const String& path);
  static void setObserver(Observer observer);
  static void setOverride(Override override);
};

// Folder that holds the shipped resources (strings and tool-message
// configuration): $ORLIX_SUPPORT_RESOURCES when set, else the folder
// "orlixsupport" beside the support library itself.
String resourceFolder();

}  // namespace Support
}  // namespace ORLIX

#endif
