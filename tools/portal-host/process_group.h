// A program started in a process group of its own, as a host starts a solver:
// no shell between us and it, its whole group stopped on a timeout or an
// interruption, and a start that fails said in words rather than as a bare
// exit status 127.
#ifndef PORTAL_HOST_PROCESS_GROUP_H
#define PORTAL_HOST_PROCESS_GROUP_H

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace portalhost {

struct LaunchRequest {
  std::vector<std::string> argv;  // the program first; found on PATH when it has no '/'
  std::string folder;             // where it starts; a relative program path is read from here
  // Added to (or replacing in) our environment; a PATH here is also the one
  // the program is looked up on.
  std::vector<std::pair<std::string, std::string>> env;
  int outputFd = -1;  // standard output and error; -1: /dev/null. Standard input is /dev/null.
};

// The program's full path: `name` itself when it holds a '/', else the first
// executable file of that name on `searchPath` (colon-separated, an empty
// entry meaning `folder`). Empty, with `why` in words, when there is none.
std::string findProgram(const std::string& name, const std::string& searchPath, const std::string& folder,
                        std::string& why);

class ProcessGroup {
 public:
  explicit ProcessGroup(const LaunchRequest& request);
  // A group still running is stopped; the leader is always reaped.
  ~ProcessGroup();
  ProcessGroup(const ProcessGroup&) = delete;
  ProcessGroup& operator=(const ProcessGroup&) = delete;

  bool started() const { return pid_ > 0; }
  // Why it did not start, e.g. "ccx: not found on PATH" or "./run: Permission denied".
  const std::string& error() const { return error_; }
  pid_t pid() const { return pid_; }

  enum class Wait { Exited, TimedOut, Woken };
  // Waits for the leader's exit, at most `seconds` (< 0: no limit), and
  // returns early when `wakeFd` (if >= 0) becomes readable. The wait is on an
  // event, not a sleep loop. An exited leader is not reaped until stop(), so
  // the group's id stays ours while helpers it left behind are stopped.
  Wait waitFor(double seconds, int wakeFd = -1);

  // Stops the whole group, helpers the program left behind included:
  // SIGTERM, then SIGKILL after `graceSeconds` (at once when the leader has
  // already exited); the leader is reaped.
  void stop(double graceSeconds = 2.0);
  bool reaped() const { return reaped_; }

  // After stop(): the exit code, or -1 when a signal ended it; the signal, or 0.
  int exitCode() const;
  int signal() const;
  // "exited with status 2", "was killed by signal 9 (Killed)".
  std::string describeExit() const;

 private:
  bool ended() const;
  void signalGroup(int signal);

  pid_t pid_ = -1;
  int pidFd_ = -1;
  bool reaped_ = false;
  int status_ = 0;
  std::string error_;
};

}  // namespace portalhost

#endif
