// The request file: one command per line, answered in the order given.
#ifndef TALLEX_REQUEST_FILE_H
#define TALLEX_REQUEST_FILE_H

#include <string>
#include <string_view>
#include <vector>

namespace tallex {

inline constexpr std::string_view kResultListCommand = "$$RESULT_LIST_AVAILABLE";
inline constexpr std::string_view kGetValueCommand = "$$QUIET_GET_VALUE";

// The five fields of a value request, trimmed; an empty field means "none"
// (the portal sends a single blank for that).
struct ValueRequest {
  std::string nature;
  std::string transformation;
  std::string location;
  std::string selection;
  std::string reference;
};

enum class CommandKind { ResultList, GetValue, Unknown };

struct Command {
  CommandKind kind = CommandKind::Unknown;
  std::string line;       // the command as read, blanks at its ends removed
  ValueRequest request;   // CommandKind::GetValue
  std::string malformed;  // CommandKind::GetValue whose fields could not be read: why
};

// Every non-blank line is a command; "\r\n" line ends are taken like "\n".
std::vector<Command> parseRequestFile(std::string_view text);

// The fields of `line`, which begins with kGetValueCommand. False, with the
// reason, when they are not five double-quoted texts.
bool parseValueRequest(std::string_view line, ValueRequest& request, std::string& why);

}  // namespace tallex

#endif
