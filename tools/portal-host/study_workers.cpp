#include "study_workers.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "portal_library.h"

namespace portalhost {
namespace {

void writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

// The worker's whole life: its own portal, its share of the designs.
int workerMain(const Study& study, const StudyLayout& layout, const std::string& portalPath, int worker,
               int jobs, int out) {
  try {
    PortalLibrary library(portalPath);
    StudyHost host;
    host.workRoot = layout.outFolder + "/setup";
    configureAnalysis(host.service, study, layout);
    ORLIX::IExtension* extension = library.factory()(&host, "Brisol", nullptr);
    if (!extension) return 3;
    auto* portal = static_cast<ORLIX::IPortal*>(extension->getInterface(ORLIX::kPortalInterfaceId));
    for (std::size_t i = static_cast<std::size_t>(worker); i < study.designs.size(); i += static_cast<std::size_t>(jobs)) {
      const DesignResult result = runDesign(*portal, host, study, layout, static_cast<int>(i));
      writeAll(out, designResultToJson(result).dump() + "\n");
    }
    delete extension;
  } catch (const std::exception& error) {
    writeAll(out, Json{{"workerError", error.what()}}.dump() + "\n");
    return 1;
  }
  return 0;
}

}  // namespace

std::vector<DesignResult> runDesignsInWorkers(const Study& study, const StudyLayout& layout,
                                              const std::string& portalPath, int jobs,
                                              const DesignDone& done) {
  jobs = std::max(1, std::min<int>(jobs, static_cast<int>(study.designs.size())));
  std::vector<int> pipes;
  std::vector<pid_t> children;
  for (int worker = 0; worker < jobs; ++worker) {
    int fds[2];
    if (::pipe(fds) != 0) throw StudyError("cannot make a pipe for a worker");
    const pid_t pid = ::fork();
    if (pid < 0) throw StudyError("cannot start a worker process");
    if (pid == 0) {
      ::close(fds[0]);
      for (int fd : pipes) ::close(fd);
      const int status = workerMain(study, layout, portalPath, worker, jobs, fds[1]);
      ::close(fds[1]);
      ::_exit(status);
    }
    ::close(fds[1]);
    pipes.push_back(fds[0]);
    children.push_back(pid);
  }

  std::vector<DesignResult> results;
  std::vector<std::string> pending(pipes.size());
  std::vector<std::string> workerErrors;
  std::size_t open = pipes.size();
  while (open > 0) {
    std::vector<pollfd> watched;
    for (int fd : pipes) watched.push_back(pollfd{fd, POLLIN, 0});
    if (::poll(watched.data(), watched.size(), -1) < 0) continue;
    for (std::size_t w = 0; w < watched.size(); ++w) {
      if (pipes[w] < 0 || !(watched[w].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[65536];
      const ssize_t n = ::read(pipes[w], buffer, sizeof buffer);
      if (n <= 0) {
        ::close(pipes[w]);
        pipes[w] = -1;
        --open;
        continue;
      }
      pending[w].append(buffer, static_cast<std::size_t>(n));
      std::size_t feed;
      while ((feed = pending[w].find('\n')) != std::string::npos) {
        const Json line = Json::parse(pending[w].substr(0, feed));
        pending[w].erase(0, feed + 1);
        if (line.contains("workerError")) {
          workerErrors.push_back(line["workerError"].get<std::string>());
          continue;
        }
        results.push_back(designResultFromJson(line));
        if (done) done(results.back());
      }
    }
  }
  for (pid_t pid : children) ::waitpid(pid, nullptr, 0);
  if (!workerErrors.empty()) throw StudyError("a worker stopped: " + workerErrors.front());
  // A worker that died took its remaining designs with it: they are failures,
  // not gaps.
  std::vector<bool> seen(study.designs.size(), false);
  for (const DesignResult& r : results) seen[static_cast<std::size_t>(r.index)] = true;
  for (std::size_t i = 0; i < seen.size(); ++i) {
    if (seen[i]) continue;
    DesignResult lost;
    lost.index = static_cast<int>(i);
    lost.values = study.designs[i];
    lost.messages.push_back("the worker process running this design stopped");
    results.push_back(lost);
    if (done) done(lost);
  }
  std::sort(results.begin(), results.end(),
            [](const DesignResult& a, const DesignResult& b) { return a.index < b.index; });
  return results;
}

}  // namespace portalhost
