// The command line, exactly as the portal's runner builds it:
//   tallex sr <results file> n 1 lcp=<module> request=<file> answers=<file> zone=<zone>
// and besides it `tallex --help` and `tallex --version`.
#ifndef TALLEX_COMMAND_LINE_H
#define TALLEX_COMMAND_LINE_H

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tallex {

struct CommandLine {
  std::string results;  // relative names resolve against the current folder
  std::string module;   // lcp=; may be empty
  std::string request;
  std::string answers;
  std::string zone;  // may be empty
};

// `arguments` without the program name. Reads the options and collects the
// words for parseCommandLine: after a leading "sr" every word as it stands,
// whatever it looks like. `--help` and `--version` are answered on `out`; a
// line CLI11 refuses (an unknown option, ...) gets CLI11's message on `err`
// and in `refusal`. Returns the exit status in those cases, empty otherwise.
std::optional<int> readOptions(const std::vector<std::string>& arguments, std::vector<std::string>& words,
                               std::string& refusal, std::ostream& out, std::ostream& err);

// `arguments`: the words readOptions collected. False, with the reason, when
// they are not the runner's eight arguments in its order.
bool parseCommandLine(const std::vector<std::string>& arguments, CommandLine& line, std::string& why);

// The value of the first non-empty "answers=" argument wherever it stands, so
// that a command line we refuse can still be answered in the file the caller
// will read.
std::string findAnswersFile(const std::vector<std::string>& arguments);

// Printed after a refused line.
extern const char* const kUsage;

}  // namespace tallex

#endif
