#include "command_line.h"

#include <string_view>

#include "cli_support.h"

namespace tallex {

const char* const kUsage =
    "usage: tallex sr RESULTS n 1 lcp=MODULE request=REQUESTS answers=ANSWERS zone=ZONE\n"
    "Run with --help for more information.\n";

namespace {

const char* const kFooter =
    "Answers the commands of REQUESTS about the results database RESULTS in ANSWERS,\n"
    "which is replaced. Exit status: 0 when every command was answered, some perhaps\n"
    "with a \"%%%\" line of their own; 1 when the run failed as a whole; 2 for a command\n"
    "line that is not the runner's. On failure ANSWERS holds the single line\n"
    "\"%%%E <why>\". See tools/tallex/README.md.";

bool keyValue(const std::string& argument, std::string_view key, std::string& value) {
  if (argument.compare(0, key.size(), key) != 0) return false;
  value = argument.substr(key.size());
  return true;
}

}  // namespace

std::optional<int> readOptions(const std::vector<std::string>& arguments, std::vector<std::string>& words,
                               std::string& refusal, std::ostream& out, std::ostream& err) {
  words.clear();
  CLI::App app("tallex: the results module stand-in. Answers a request file about a results database.", "tallex");
  toolcli::addVersionFlag(app, "tallex");
  app.add_option("WORDS", words,
                 "The runner's line: sr RESULTS n 1 lcp=MODULE request=REQUESTS answers=ANSWERS zone=ZONE "
                 "(MODULE and ZONE may be empty)")
      ->type_name("");
  app.footer(kFooter);
  // The caller answers a refused line in its answers file, with CLI11's reason.
  app.failure_message([&refusal](const CLI::App* failed, const CLI::Error& error) {
    refusal = error.what();
    return CLI::FailureMessage::simple(failed, error);
  });

  // The runner's words are taken as they stand: a results file may be named
  // "-x.sdb", and a "--" there is a word like any other.
  const bool runnerLine = !arguments.empty() && arguments[0] == "sr";
  std::vector<const char*> argv = {"tallex"};
  for (std::size_t i = 0; i < (runnerLine ? 1 : arguments.size()); ++i) argv.push_back(arguments[i].c_str());
  if (auto status = toolcli::parse(app, static_cast<int>(argv.size()), argv.data(), out, err)) return status;
  if (runnerLine) words.insert(words.end(), arguments.begin() + 1, arguments.end());
  return std::nullopt;
}

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
