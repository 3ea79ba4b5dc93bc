// The tool-message configuration as parsed from its text: every well-formed
// section, whatever tool and category it is for, and one problem line per
// malformed line. A request picks its sections from it, so one parse serves
// every tool and category. The format is described in README.md beside this
// file. Private to the support library.
#ifndef ORLIX_SUPPORT_TOOL_MESSAGE_CONFIG_H
#define ORLIX_SUPPORT_TOOL_MESSAGE_CONFIG_H

#include <vector>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Support {
namespace Detail {

struct MessageRule {
  String kind;
  bool atStart = false;  // "startswith" rather than "contains"
  String text;
};

struct MessageSection {
  String tool;
  String category;
  StringList filePatterns;
  std::vector<MessageRule> rules;
};

struct ToolMessageConfig {
  std::vector<MessageSection> sections;  // in file order
  StringList problems;  // whole lines for the caller's error text, in file order
};

// Every message of the parser starts so.
extern const char* const kToolMessageErrorLead;

// Parses the configuration `text`; `path` only names the file in problems.
ToolMessageConfig parseToolMessageConfig(const String& path, const String& text);

}  // namespace Detail
}  // namespace Support
}  // namespace ORLIX

#endif
