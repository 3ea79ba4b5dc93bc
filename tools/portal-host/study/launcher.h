// How a design's solver run is started and waited for. The design loop only
// sees this interface, so a run on this machine and a run as a batch job look
// alike to it.
#ifndef PORTAL_HOST_STUDY_LAUNCHER_H
#define PORTAL_HOST_STUDY_LAUNCHER_H

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace portalhost {

struct SolverJob {
  std::vector<std::string> argv;  // the program first
  std::string folder;             // the design folder; the run starts there
  std::string outputFile;         // standard output and error go here
  std::vector<std::pair<std::string, std::string>> env;
  double timeoutSeconds = 0;  // 0: no limit
  double pollSeconds = 10;    // how often `whileRunning` is called
};

struct SolverOutcome {
  bool started = false;
  std::string failure;  // why it did not start, or how it ended badly; empty when it exited
  bool timedOut = false;
  bool interrupted = false;
  int exitCode = -1;  // -1 when it did not exit by itself
};

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Runs the job to its end. `whileRunning` is called every pollSeconds while
  // it runs (the portal's finish check); `wakeFd` readable means the study is
  // being interrupted: the run is stopped and `interrupted` set.
  virtual SolverOutcome run(const SolverJob& job, const std::function<void()>& whileRunning, int wakeFd) = 0;
};

// Runs the solver as a process group of this machine.
std::unique_ptr<Launcher> makeLocalLauncher();

}  // namespace portalhost

#endif
