#include "command_line.h"

#include <string_view>

namespace tallex {

const char* const kUsage =
    "usage: tallex sr RESULTS n 1 lcp=MODULE request=REQUESTS answers=ANSWERS zone=ZONE\n"
    "Answers the commands of REQUESTS about the results database RESULTS in ANSWERS;\n"
    "MODULE and ZONE may be empty. See tools/tallex/README.md.\n";

namespace {

bool keyValue(const std::string& argument, std::string_view key, std::string& value) {
  if (argument.compare(0, key.size(), key) != 0) return false;
  value = argument.substr(key.size());
  return true;
}

}  // namespace

bool parseCommandLine(const std::vector<std::string>& arguments, CommandLine& line, std::string& why) {
  constexpr std::size_t kCount = 8;
  if (arguments.size() != kCount) {
    why = "expected " + std::to_string(kCount) + " arguments, found " + std::to_string(arguments.size());
    return false;
  }
  const auto expectWord = [&](std::size_t index, const char* word) {
    if (arguments[index] == word) return true;
    why = "argument " + std::to_string(index + 1) + " must be \"" + word + "\", found \"" + arguments[index] + "\"";
    return false;
  };
  const auto expectKey = [&](std::size_t index, const char* key, std::string& value, bool mayBeEmpty) {
    if (!keyValue(arguments[index], key, value)) {
      why = "argument " + std::to_string(index + 1) + " must be " + key + "..., found \"" + arguments[index] + "\"";
      return false;
    }
    if (value.empty() && !mayBeEmpty) {
      why = std::string(key) + " names no file";
      return false;
    }
    return true;
  };
  if (!expectWord(0, "sr")) return false;
  line.results = arguments[1];
  if (line.results.empty()) {
    why = "the results file name is empty";
    return false;
  }
  return expectWord(2, "n") && expectWord(3, "1") && expectKey(4, "lcp=", line.module, true) &&
         expectKey(5, "request=", line.request, false) && expectKey(6, "answers=", line.answers, false) &&
         expectKey(7, "zone=", line.zone, true);
}

std::string findAnswersFile(const std::vector<std::string>& arguments) {
  std::string value;
  for (const std::string& argument : arguments)
    if (keyValue(argument, "answers=", value) && !value.empty()) return value;
  return {};
}

}  // namespace tallex
