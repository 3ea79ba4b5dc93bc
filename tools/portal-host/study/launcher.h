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
  std::string name;           // for a scheduler's queue: "<study>-<design>"
};

struct SolverOutcome {
  bool started = false;
  std::string failure;  // why it did not start, or how it ended badly; empty when it exited
  bool timedOut = false;
  bool interrupted = false;
  int exitCode = -1;      // -1 when it did not exit by itself
  std::string exitNote;   // the scheduler's words on a non-zero exit, for the message
  std::string jobId;      // the scheduler's job, when there is one
};

// What the design loop is told while a run goes on.
struct RunHooks {
  std::function<void()> whileRunning;                  // every pollSeconds: the portal's finish check
  std::function<void(const std::string&)> started;     // "local:<group>" or "slurm:<job id>"
  int wakeFd = -1;  // readable: the study is being interrupted; the run is stopped
};

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Runs the job to its end.
  virtual SolverOutcome run(const SolverJob& job, const RunHooks& hooks) = 0;
  // Waits for job `jobId` that an earlier, interrupted run of the study
  // started. Not started (and no failure) when the job is unknown or this
  // launcher keeps no jobs beyond its run: the design is then run again.
  virtual SolverOutcome attach(const std::string& jobId, const SolverJob& job, const RunHooks& hooks) {
    (void)jobId, (void)job, (void)hooks;
    return SolverOutcome();
  }
};

// Runs the solver as a process group of this machine.
std::unique_ptr<Launcher> makeLocalLauncher();
// Submits the solver run as a Slurm batch job (sbatch) with `options`.
std::unique_ptr<Launcher> makeSlurmLauncher(std::vector<std::string> options);

}  // namespace portalhost

#endif
