#include "study/worker_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <deque>
#include <vector>

#include "portal_session.h"
#include "study/design_run.h"
#include "study/interruption.h"
#include "study/study_host.h"

namespace portalhost {
namespace {

// Frames from a worker: a kind byte, an 8-byte length, the bytes.
enum Frame : char { kRecord = 'R', kUnfinished = 'U', kFatal = 'F' };

bool writeAll(int fd, const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool readAll(int fd, void* data, std::size_t size) {
  char* bytes = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t n = ::read(fd, bytes, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void sendFrame(int fd, Frame kind, const std::string& bytes) {
  const std::uint64_t size = bytes.size();
  writeAll(fd, &kind, 1) && writeAll(fd, &size, sizeof size) && writeAll(fd, bytes.data(), bytes.size());
}

// Retries keep what every failed attempt said.
DesignRecord runWithRetries(ORLIX::IPortal& portal, StudyHost& host, const DesignContext& context,
                            std::uint64_t number, int retries, bool& interrupted) {
  std::vector<std::string> earlier;
  for (int attempt = 1;; ++attempt) {
    DesignRecord record = runDesign(portal, host, context, number, interrupted);
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

// A worker's whole life: its own portal, then designs as the parent hands
// them over, until it sends 0 or goes away.
[[noreturn]] void workerMain(const Study& study, const StudyTags& tags, const PoolSettings& settings, int commands,
                             int results) {
  Interruption::install();
  int status = 0;
  try {
    StudyHost host;
    host.workRoot = settings.workFolder;
    host.wakeFd = Interruption::wakeFd();
    configureAnalysis(host.service, study, tags);
    PortalSession session(settings.portalPath, host, study.portal);
    const auto launcher = makeLocalLauncher();
    DesignContext context{study, tags, settings.outFolder, settings.pollSeconds, *launcher, Interruption::wakeFd()};
    std::uint64_t number = 0;
    while (Interruption::count() == 0 && readAll(commands, &number, sizeof number) && number != 0) {
      bool interrupted = false;
      const DesignRecord record = runWithRetries(session.portal(), host, context, number, settings.retries, interrupted);
      // A design the interruption cut short did not finish: it is run again on
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

struct Worker {
  pid_t pid = -1;
  int commands = -1;  // we write design numbers here
  int results = -1;   // and read frames here
  std::uint64_t running = 0;
  std::string pending;
};

class Pool {
 public:
  Pool(const Study& study, const StudyTags& tags, const PoolSettings& settings, const DesignQueue& queue,
       const RecordSink& sink)
      : study_(study), tags_(tags), settings_(settings), queue_(queue), sink_(sink) {}

  // A pool left by an exception (the journal cannot be written) takes its
  // workers, and so their solvers, with it.
  ~Pool() {
    for (Worker& w : workers_) {
      if (w.results < 0) continue;
      ::kill(w.pid, SIGTERM);
      ::close(w.results);
      ::close(w.commands);
      while (::waitpid(w.pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
  }

  PoolOutcome run() {
    Interruption::install();
    // A worker that died must not take the parent with it when we write to it.
    ::signal(SIGPIPE, SIG_IGN);
    for (int i = 0; i < settings_.jobs && !queueEmpty_; ++i) {
      const std::optional<std::uint64_t> next = nextDesign();
      if (!next) break;
      Worker& worker = spawn();
      hand(worker, *next);
    }
    while (alive() > 0) watch();
    if (!fatal_.empty()) throw LibraryError(fatal_);
    outcome_.interrupted = Interruption::count() > 0;
    return outcome_;
  }

 private:
  std::optional<std::uint64_t> nextDesign() {
    if (queueEmpty_ || Interruption::count() > 0 || !fatal_.empty()) return std::nullopt;
    std::optional<std::uint64_t> next = queue_();
    queueEmpty_ = !next.has_value();
    return next;
  }

  Worker& spawn() {
    int commands[2], results[2];
    if (::pipe2(commands, O_CLOEXEC) != 0 || ::pipe2(results, O_CLOEXEC) != 0) {
      throw std::runtime_error(std::string("cannot make a pipe for a worker: ") + std::strerror(errno));
    }
    std::cout.flush();
    std::cerr.flush();
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error(std::string("cannot start a worker: ") + std::strerror(errno));
    if (pid == 0) {
      for (const Worker& other : workers_) {
        if (other.commands >= 0) ::close(other.commands);
        if (other.results >= 0) ::close(other.results);
      }
      ::close(commands[1]);
      ::close(results[0]);
      workerMain(study_, tags_, settings_, commands[0], results[1]);
    }
    ::close(commands[0]);
    ::close(results[1]);
    Worker worker;
    worker.pid = pid;
    worker.commands = commands[1];
    worker.results = results[0];
    workers_.push_back(worker);
    return workers_.back();
  }

  void hand(Worker& worker, std::uint64_t number) {
    worker.running = number;
    writeAll(worker.commands, &number, sizeof number);
  }

  void release(Worker& worker) {
    worker.running = 0;
    const std::uint64_t stop = 0;
    writeAll(worker.commands, &stop, sizeof stop);
  }

  std::size_t alive() const {
    std::size_t n = 0;
    for (const Worker& w : workers_) n += w.results >= 0 ? 1 : 0;
    return n;
  }

  void watch() {
    std::vector<pollfd> watched{{Interruption::wakeFd(), POLLIN, 0}};
    std::vector<std::size_t> owners{SIZE_MAX};
    for (std::size_t i = 0; i < workers_.size(); ++i) {
      if (workers_[i].results < 0) continue;
      watched.push_back({workers_[i].results, POLLIN, 0});
      owners.push_back(i);
    }
    if (::poll(watched.data(), watched.size(), -1) < 0) return;
    if (watched[0].revents & POLLIN) interrupt();
    for (std::size_t k = 1; k < watched.size(); ++k) {
      if (watched[k].revents & (POLLIN | POLLHUP | POLLERR)) readFrom(workers_[owners[k]]);
    }
  }

  // The first interruption stops the queue and the workers' solvers; what
  // finishes meanwhile still comes back.
  void interrupt() {
    char bytes[64];
    while (::read(Interruption::wakeFd(), bytes, sizeof bytes) > 0) {
    }
    if (interruptSent_) return;
    interruptSent_ = true;
    for (Worker& w : workers_) {
      if (w.results < 0) continue;
      ::kill(w.pid, SIGTERM);
      if (w.running == 0) release(w);
    }
  }

  void readFrom(Worker& worker) {
    char buffer[65536];
    const ssize_t n = ::read(worker.results, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) return;
    if (n <= 0) return ended(worker);
    worker.pending.append(buffer, static_cast<std::size_t>(n));
    for (;;) {
      if (worker.pending.size() < 9) return;
      std::uint64_t size;
      std::memcpy(&size, worker.pending.data() + 1, sizeof size);
      if (worker.pending.size() - 9 < size) return;
      const char kind = worker.pending[0];
      const std::string bytes = worker.pending.substr(9, static_cast<std::size_t>(size));
      worker.pending.erase(0, 9 + static_cast<std::size_t>(size));
      frame(worker, kind, bytes);
    }
  }

  void frame(Worker& worker, char kind, const std::string& bytes) {
    if (kind == kFatal) {
      fatal_ = bytes;
      return;
    }
    if (kind == kUnfinished) {
      ++outcome_.unfinished;
      worker.running = 0;
      return;
    }
    DesignRecord record;
    if (!decodeRecord(bytes, record)) record = lost(worker.running, "the worker sent a damaged record");
    sink_(record);
    const std::optional<std::uint64_t> next = nextDesign();
    if (next) {
      hand(worker, *next);
    } else {
      release(worker);
    }
  }

  // A worker that died took its design with it: that design failed, and a
  // new worker takes over the queue.
  void ended(Worker& worker) {
    ::close(worker.results);
    ::close(worker.commands);
    worker.results = worker.commands = -1;
    int status = 0;
    while (::waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (worker.running == 0) return;
    const std::uint64_t number = worker.running;
    worker.running = 0;
    if (Interruption::count() > 0 || !fatal_.empty()) {
      ++outcome_.unfinished;
      return;
    }
    std::string how = WIFSIGNALED(status) ? "was killed by signal " + std::to_string(WTERMSIG(status)) + " (" +
                                                ::strsignal(WTERMSIG(status)) + ")"
                                          : "exited with status " + std::to_string(WEXITSTATUS(status));
    sink_(lost(number, "the worker process running this design " + how));
    const std::optional<std::uint64_t> next = nextDesign();
    if (next) hand(spawn(), *next);
  }

  DesignRecord lost(std::uint64_t number, const std::string& why) const {
    DesignRecord record;
    record.design = number;
    record.values = study_.designs.at(number - 1);
    record.stage = "solve";
    record.messages.push_back(why);
    for (const StudyResponse& r : study_.responses) record.responses.push_back({r.name, {}, {}, "not read: the design failed"});
    return record;
  }

  const Study& study_;
  const StudyTags& tags_;
  const PoolSettings& settings_;
  const DesignQueue& queue_;
  const RecordSink& sink_;
  std::deque<Worker> workers_;  // a deque keeps references to workers valid as it grows
  bool queueEmpty_ = false;
  bool interruptSent_ = false;
  std::string fatal_;
  PoolOutcome outcome_;
};

}  // namespace

PoolOutcome runDesignPool(const Study& study, const StudyTags& tags, const PoolSettings& settings,
                          const DesignQueue& queue, const RecordSink& sink) {
  return Pool(study, tags, settings, queue, sink).run();
}

}  // namespace portalhost
