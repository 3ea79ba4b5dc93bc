#include "request_file.h"

#include "line_reader.h"

namespace tallex {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The command word must end where the line or a field begins, so that
// "$$QUIET_GET_VALUES" is not taken for a value request.
bool startsWithCommand(std::string_view line, std::string_view command) {
  if (line.substr(0, command.size()) != command) return false;
  return line.size() == command.size() || isBlank(line[command.size()]) || line[command.size()] == '"';
}

}  // namespace

bool parseValueRequest(std::string_view line, ValueRequest& request, std::string& why) {
  std::string* const fields[] = {&request.nature, &request.transformation, &request.location, &request.selection,
                                 &request.reference};
  constexpr std::size_t kFields = sizeof fields / sizeof fields[0];
  std::size_t i = kGetValueCommand.size();
  std::size_t count = 0;
  for (;;) {
    while (i < line.size() && isBlank(line[i])) ++i;
    if (i == line.size()) break;
    if (line[i] != '"') {
      why = "expected a double-quoted field at character " + std::to_string(i + 1);
      return false;
    }
    const std::size_t close = line.find('"', i + 1);
    if (close == std::string_view::npos) {
      why = "field " + std::to_string(count + 1) + " has no closing double quote";
      return false;
    }
    if (count < kFields) *fields[count] = std::string(trimBlanks(line.substr(i + 1, close - i - 1)));
    ++count;
    i = close + 1;
  }
  if (count != kFields) {
    why = "expected 5 double-quoted fields (nature, transformation, location, selection, reference), found " +
          std::to_string(count);
    return false;
  }
  return true;
}

std::vector<Command> parseRequestFile(std::string_view text) {
  std::vector<Command> commands;
  LineReader lines(text);
  std::string_view raw;
  while (lines.next(raw)) {
    const std::string_view line = trimBlanks(raw);
    if (line.empty()) continue;
    Command command;
    command.line = std::string(line);
    if (line == kResultListCommand) {
      command.kind = CommandKind::ResultList;
    } else if (startsWithCommand(line, kGetValueCommand)) {
      command.kind = CommandKind::GetValue;
      parseValueRequest(line, command.request, command.malformed);
    } else {
      command.kind = CommandKind::Unknown;
    }
    commands.push_back(std::move(command));
  }
  return commands;
}

}  // namespace tallex
