// Running a program to its end with its output captured, for scenario steps that
// need a real solver run between portal calls. The program gets no shell, no
// standard input, and a process group of its own, so that a timeout can stop
// everything it started.
#ifndef PORTAL_HOST_PROGRAM_RUN_H
#define PORTAL_HOST_PROGRAM_RUN_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace portalhost {

struct ProgramRun {
  // The program (searched on PATH when it has no '/') and its arguments.
  std::vector<std::string> command;
  // Where it starts; empty: the current folder. A relative program path with a
  // '/' is taken from there.
  std::string folder;
  // Added to (or replacing in) the program's environment; ours stays as it is.
  // A PATH given here is also the one the program is searched on.
  std::vector<std::pair<std::string, std::string>> env;
  double timeoutSeconds = 600;
  // How long the program's process group gets between SIGTERM and SIGKILL.
  double graceSeconds = 2;
  // How much of the output is kept: the last this many UTF-8 characters.
  std::size_t outputLimit = 4000;
};

struct ProgramResult {
  // The exit status; 128 + the signal when a signal ended it; -1 when it could
  // not be started or was stopped at the timeout.
  int exitCode = -1;
  // Standard output and error as they interleaved, cut to the last
  // outputLimit characters.
  std::string output;
  // Why exitCode is -1 ("cannot start ...", "stopped after ..."); empty otherwise.
  std::string problem;
};

// Runs the program and waits for it. The step ends when the program itself
// exits: output still ready in the pipe is read, and whatever the program left
// running in its process group is killed, so a background helper that holds the
// pipe open cannot keep us waiting.
ProgramResult runProgramCaptured(const ProgramRun& run);

// The last `limit` characters of `text`, never cutting a UTF-8 sequence.
std::string lastCharacters(const std::string& text, std::size_t limit);

}  // namespace portalhost

#endif
