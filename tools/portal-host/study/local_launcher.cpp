#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "process_group.h"
#include "study/launcher.h"

namespace portalhost {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string timeoutText(double seconds) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", seconds);
  return text;
}

class LocalLauncher : public Launcher {
 public:
  SolverOutcome run(const SolverJob& job, const RunHooks& hooks) override {
    SolverOutcome outcome;
    const int output = ::open(job.outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (output < 0) {
      outcome.failure = job.outputFile + ": cannot be written: " + std::strerror(errno);
      return outcome;
    }
    LaunchRequest request{job.argv, job.folder, job.env, output};
    ProcessGroup solver(request);
    ::close(output);
    if (!solver.started()) {
      outcome.failure = solver.error();
      return outcome;
    }
    outcome.started = true;
    if (hooks.started) hooks.started("local:" + std::to_string(solver.pid()));
    const auto start = Clock::now();
    auto lastPoll = start;
    for (;;) {
      double wait = job.pollSeconds - secondsSince(lastPoll);
      if (job.timeoutSeconds > 0) wait = std::min(wait, job.timeoutSeconds - secondsSince(start));
      const ProcessGroup::Wait result = solver.waitFor(std::max(wait, 0.0), hooks.wakeFd);
      if (result == ProcessGroup::Wait::Exited) break;
      if (result == ProcessGroup::Wait::Woken) {
        solver.stop();
        outcome.interrupted = true;
        outcome.failure = job.argv[0] + " was stopped: the study was interrupted";
        return outcome;
      }
      if (job.timeoutSeconds > 0 && secondsSince(start) >= job.timeoutSeconds) {
        solver.stop();
        outcome.timedOut = true;
        outcome.failure = job.argv[0] + " was stopped after the timeout of " + timeoutText(job.timeoutSeconds) + " s";
        return outcome;
      }
      if (secondsSince(lastPoll) >= job.pollSeconds) {
        lastPoll = Clock::now();
        if (hooks.whileRunning) hooks.whileRunning();
      }
    }
    // The design ends when the solver exits; helpers it left behind go with it.
    solver.stop(0.5);
    outcome.exitCode = solver.exitCode();
    if (outcome.exitCode < 0) outcome.failure = job.argv[0] + " " + solver.describeExit();
    return outcome;
  }
};

}  // namespace

std::unique_ptr<Launcher> makeLocalLauncher() { return std::make_unique<LocalLauncher>(); }

}  // namespace portalhost
