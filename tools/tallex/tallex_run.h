// One run of the program: command line, request file, one pass over the
// database, answers file. A failure of the run as a whole leaves a single
// "%%%E ..." line in the answers file (when its name is known) and the same
// message on the diagnostics stream.
#ifndef TALLEX_TALLEX_RUN_H
#define TALLEX_TALLEX_RUN_H

#include <ostream>
#include <string>
#include <vector>

namespace tallex {

// Every request was answered, some perhaps with a "%%%" line of their own.
inline constexpr int kExitAnswered = 0;
// Nothing was answered: results or request file unreadable, database malformed,
// answers file not writable.
inline constexpr int kExitFailed = 1;
// The command line is not the runner's.
inline constexpr int kExitUsage = 2;

// `arguments` without the program name; `out` takes the help and the version.
// Never throws.
int runTallex(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& diagnostics);

}  // namespace tallex

#endif
