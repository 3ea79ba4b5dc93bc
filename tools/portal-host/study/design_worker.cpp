#include "study/design_worker.h"

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <iostream>

#include "portal_session.h"
#include "study/design_run.h"
#include "study/interruption.h"
#include "study/study_host.h"
#include "study/worker_protocol.h"

namespace portalhost {
namespace {

// Retries keep what every failed attempt said; only the first attempt waits
// for a job an earlier run left.
DesignRecord runWithRetries(ORLIX::IPortal& portal, StudyHost& host, const DesignContext& context,
                            std::uint64_t number, std::string attachJob, int retries, int results,
                            bool& interrupted) {
  const auto started = [results](const std::string& id) { sendFrame(results, kStarted, id); };
  std::vector<std::string> earlier;
  for (int attempt = 1;; ++attempt) {
    DesignRecord record = runDesign(portal, host, context, number, attachJob, started, interrupted);
    attachJob.clear();
    record.attempts = attempt;
    if (record.ok || interrupted || attempt > retries || Interruption::count() > 0) {
      record.earlierAttempts = earlier;
      return record;
    }
    std::string summary = "attempt " + std::to_string(attempt) + " failed at " + record.stage + ":";
    for (const std::string& message : record.messages) summary += " " + message;
    earlier.push_back(summary);
  }
}

std::unique_ptr<Launcher> launcherFor(const PoolSettings& settings) {
  return settings.launcher == "slurm" ? makeSlurmLauncher(settings.slurmOptions) : makeLocalLauncher();
}

}  // namespace

void workerMain(const Study& study, const StudyTags& tags, const PoolSettings& settings, int commands,
                int results, pid_t parent) {
  Interruption::installForWorker();
  // A parent that dies, even by SIGKILL, takes its workers' solvers with it;
  // batch jobs stay queued for the resumed study to wait for.
  ::prctl(PR_SET_PDEATHSIG, SIGHUP);
  if (::getppid() != parent) ::raise(SIGHUP);
  int status = 0;
  try {
    StudyHost host;
    host.workRoot = settings.workFolder;
    host.wakeFd = Interruption::wakeFd();
    configureAnalysis(host.service, study, tags);
    PortalSession session(settings.portalPath, host, study.portal);
    const auto launcher = launcherFor(settings);
    DesignContext context{study, tags, settings.outFolder, settings.pollSeconds, *launcher, Interruption::wakeFd()};
    std::uint64_t number = 0;
    std::string attachJob;
    while (Interruption::count() == 0 && receiveDesign(commands, number, attachJob) && number != 0) {
      bool interrupted = false;
      const DesignRecord record =
          runWithRetries(session.portal(), host, context, number, attachJob, settings.retries, results, interrupted);
      // A design the interruption cut short did not finish: it runs again on
      // resume. One that succeeded all the same is kept.
      if (!record.ok && (interrupted || Interruption::count() > 0)) {
        sendFrame(results, kUnfinished, std::to_string(number));
        break;
      }
      sendFrame(results, kRecord, encodeRecord(record));
    }
  } catch (const std::exception& error) {
    sendFrame(results, kFatal, error.what());
    status = 3;
  }
  std::cout.flush();
  std::cerr.flush();
  ::_exit(status);
}

}  // namespace portalhost
