#include <poll.h>

#include <algorithm>
#include <chrono>
#include <fstream>

#include "program_run.h"
#include "study/interruption.h"
#include "study/launcher.h"
#include "study/slurm_job.h"

namespace portalhost {
namespace {

using Clock = std::chrono::steady_clock;

// The first look at a job comes soon after it was submitted; then the looks
// grow further apart, so that a long job costs few scontrol calls and a short
// one is noticed soon after it ends.
constexpr double kFirstLook = 0.05, kLongestLook = 0.5;
// Slurm's client commands answer quickly or not at all.
constexpr double kCommandTimeout = 60;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\r')) text.pop_back();
  return text;
}

ProgramResult slurmCommand(std::vector<std::string> command) {
  ProgramRun run;
  run.command = std::move(command);
  run.timeoutSeconds = kCommandTimeout;
  run.graceSeconds = 1;
  return runProgramCaptured(run);
}

SlurmJobState stateOf(const std::string& id) {
  const ProgramResult result = slurmCommand({"scontrol", "show", "job", "-o", id});
  return parseJobState(result.exitCode == 0 ? result.output : std::string());
}

void cancel(const std::string& id) { slurmCommand({"scancel", id}); }

// Sleeps up to `seconds`; true when `wakeFd` became readable meanwhile.
bool woken(double seconds, int wakeFd) {
  pollfd watched{wakeFd, POLLIN, 0};
  return ::poll(&watched, wakeFd >= 0 ? 1 : 0, static_cast<int>(seconds * 1000)) > 0;
}

class SlurmLauncher : public Launcher {
 public:
  explicit SlurmLauncher(std::vector<std::string> options) : options_(std::move(options)) {}

  SolverOutcome run(const SolverJob& job, const RunHooks& hooks) override {
    SolverOutcome outcome;
    const std::string script = job.folder + "/slurm-job.sh";
    std::ofstream(script, std::ios::binary | std::ios::trunc) << batchScript(job);
    const ProgramResult submitted = slurmCommand(sbatchArguments(job, options_, script));
    const std::string id = submitted.exitCode == 0 ? jobIdFrom(submitted.output) : std::string();
    if (id.empty()) {
      outcome.failure = "sbatch refused the job: " +
                        trimmed(submitted.output.empty() ? submitted.problem : submitted.output);
      return outcome;
    }
    if (hooks.started) hooks.started("slurm:" + id);
    return wait(id, job, hooks);
  }

  // A job still queued or running is waited for, and one whose solver ran to
  // its end is taken as it is; a job Slurm no longer knows, or one that was
  // cancelled or cut short, leaves nothing to take: the design runs again.
  SolverOutcome attach(const std::string& id, const SolverJob& job, const RunHooks& hooks) override {
    const SlurmJobState state = stateOf(id);
    const bool solverEnded = (state.state == "COMPLETED" || state.state == "FAILED") && state.signal == 0;
    if (!state.known || (!state.waiting() && !solverEnded)) return SolverOutcome();
    return wait(id, job, hooks);
  }

 private:
  SolverOutcome wait(const std::string& id, const SolverJob& job, const RunHooks& hooks) {
    SolverOutcome outcome;
    outcome.started = true;
    outcome.jobId = id;
    const auto start = Clock::now();
    auto lastPoll = start;
    double look = kFirstLook;
    int unknown = 0;
    for (;;) {
      const SlurmJobState state = stateOf(id);
      // A controller that is busy for a moment answers nothing: only a job
      // unknown look after look is gone.
      if (!state.known && ++unknown >= 5) {
        outcome.failure = "Slurm no longer knows job " + id;
        return outcome;
      }
      if (state.known) unknown = 0;
      if (state.known && !state.waiting()) return ended(id, state, outcome);
      if (job.timeoutSeconds > 0 && secondsSince(start) >= job.timeoutSeconds) {
        cancel(id);
        outcome.timedOut = true;
        outcome.failure = job.argv[0] + " (Slurm job " + id + ") was cancelled after the timeout";
        return outcome;
      }
      if (woken(look, hooks.wakeFd)) {
        outcome.interrupted = true;
        // A study that is gone (not interrupted) leaves its jobs to --resume.
        if (Interruption::orphaned()) {
          outcome.failure = "Slurm job " + id + " left running: the study stopped";
          return outcome;
        }
        cancel(id);
        outcome.failure = "Slurm job " + id + " was cancelled: the study was interrupted";
        return outcome;
      }
      look = std::min(look * 2, kLongestLook);
      if (secondsSince(lastPoll) >= job.pollSeconds) {
        lastPoll = Clock::now();
        if (hooks.whileRunning) hooks.whileRunning();
      }
    }
  }

  // COMPLETED and FAILED jobs ran the solver to its exit; every other end is
  // Slurm's, told in Slurm's words.
  static SolverOutcome ended(const std::string& id, const SlurmJobState& state, SolverOutcome outcome) {
    const std::string words = "Slurm job " + id + " " + state.state + " (Reason=" + state.reason +
                              ", ExitCode=" + std::to_string(state.exitCode) + ":" + std::to_string(state.signal) + ")";
    if ((state.state == "COMPLETED" || state.state == "FAILED") && state.signal == 0) {
      outcome.exitCode = state.exitCode;
      if (state.state == "FAILED") outcome.exitNote = words;
      return outcome;
    }
    outcome.failure = words;
    return outcome;
  }

  std::vector<std::string> options_;
};

}  // namespace

std::unique_ptr<Launcher> makeSlurmLauncher(std::vector<std::string> options) {
  return std::make_unique<SlurmLauncher>(std::move(options));
}

}  // namespace portalhost
