// The command line, exactly as the portal's runner builds it:
//   tallex sr <results file> n 1 lcp=<module> request=<file> answers=<file> zone=<zone>
#ifndef TALLEX_COMMAND_LINE_H
#define TALLEX_COMMAND_LINE_H

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

// `arguments` without the program name. False, with the reason, when they are
// not the runner's eight arguments in its order.
bool parseCommandLine(const std::vector<std::string>& arguments, CommandLine& line, std::string& why);

// The value of the first non-empty "answers=" argument wherever it stands, so
// that a command line we refuse can still be answered in the file the caller
// will read.
std::string findAnswersFile(const std::vector<std::string>& arguments);

extern const char* const kUsage;

}  // namespace tallex

#endif
