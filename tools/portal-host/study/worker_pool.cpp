#include "study/worker_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <iostream>

#include "portal_library.h"
#include "program_run.h"
#include "study/design_worker.h"
#include "study/interruption.h"
#include "study/worker_protocol.h"

namespace portalhost {
namespace {

struct Worker {
  pid_t pid = -1;
  int commands = -1;  // we write designs here
  int results = -1;   // and read frames here
  std::uint64_t running = 0;
  std::string solver;  // "local:<group>" or "slurm:<job>" of the running design
  std::string pending;
};

class Pool {
 public:
  Pool(const Study& study, const StudyTags& tags, const PoolSettings& settings, const DesignQueue& queue,
       const RecordSink& sink, const SubmitSink& submitted)
      : study_(study), tags_(tags), settings_(settings), queue_(queue), sink_(sink), submitted_(submitted) {}

  // A pool left by an exception (the journal cannot be written) takes its
  // workers, and so their solvers, with it.
  ~Pool() {
    for (Worker& w : workers_) {
      if (w.results < 0) continue;
      ::kill(w.pid, SIGTERM);
      close(w);
      while (::waitpid(w.pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
  }

  PoolOutcome run() {
    Interruption::install();
    // A worker that died must not take the parent with it when we write to it.
    ::signal(SIGPIPE, SIG_IGN);
    for (int i = 0; i < settings_.jobs; ++i) {
      const std::optional<QueuedDesign> next = nextDesign();
      if (!next) break;
      hand(spawn(), *next);
    }
    while (alive() > 0) watch();
    if (!fatal_.empty()) throw LibraryError(fatal_);
    outcome_.interrupted = Interruption::count() > 0;
    return outcome_;
  }

 private:
  std::optional<QueuedDesign> nextDesign() {
    if (queueEmpty_ || Interruption::count() > 0 || !fatal_.empty()) return std::nullopt;
    std::optional<QueuedDesign> next = queue_();
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
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error(std::string("cannot start a worker: ") + std::strerror(errno));
    if (pid == 0) {
      for (Worker& other : workers_) close(other);
      ::close(commands[1]);
      ::close(results[0]);
      workerMain(study_, tags_, settings_, commands[0], results[1], parent);
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

  static void close(Worker& w) {
    if (w.commands >= 0) ::close(w.commands);
    if (w.results >= 0) ::close(w.results);
    w.commands = w.results = -1;
  }

  void hand(Worker& worker, const QueuedDesign& design) {
    worker.running = design.number;
    worker.solver.clear();
    sendDesign(worker.commands, design.number, design.attachJob);
  }

  void release(Worker& worker) {
    worker.running = 0;
    sendDesign(worker.commands, 0, std::string());
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

  // The first interruption stops the queue and the workers' solvers, and what
  // finishes meanwhile still comes back; a second one stops everything at once.
  void interrupt() {
    char bytes[64];
    while (::read(Interruption::wakeFd(), bytes, sizeof bytes) > 0) {
    }
    if (Interruption::count() >= 2) return stopAtOnce();
    if (interruptSent_) return;
    interruptSent_ = true;
    for (Worker& w : workers_) {
      if (w.results < 0) continue;
      ::kill(w.pid, SIGTERM);
      if (w.running == 0) release(w);
    }
  }

  void stopAtOnce() {
    for (Worker& w : workers_) {
      if (w.results < 0) continue;
      if (w.solver.rfind("local:", 0) == 0) ::kill(-std::stoi(w.solver.substr(6)), SIGKILL);
      if (w.solver.rfind("slurm:", 0) == 0) runProgramCaptured(ProgramRun{{"scancel", w.solver.substr(6)}, "", {}, 30});
      ::kill(w.pid, SIGKILL);
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
    if (kind == kStarted) {
      worker.solver = bytes;
      if (bytes.rfind("slurm:", 0) == 0 && submitted_) submitted_(worker.running, bytes.substr(6));
      return;
    }
    if (kind == kUnfinished) {
      ++outcome_.unfinished;
      worker.running = 0;
      return;
    }
    DesignRecord record;
    if (!decodeRecord(bytes, record)) record = lost(worker.running, "the worker sent a damaged record");
    worker.running = 0;
    worker.solver.clear();
    // The worker goes on with its next design before the record is flushed to
    // the journal: it would otherwise sit idle for the flush, at every design.
    const std::optional<QueuedDesign> next = nextDesign();
    if (next) {
      hand(worker, *next);
    } else {
      release(worker);
    }
    sink_(record);
  }

  // A worker that died took its design with it: that design failed, and a
  // new worker takes over the queue.
  void ended(Worker& worker) {
    close(worker);
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
    const std::string how = WIFSIGNALED(status) ? "was killed by signal " + std::to_string(WTERMSIG(status)) +
                                                      " (" + ::strsignal(WTERMSIG(status)) + ")"
                                                : "exited with status " + std::to_string(WEXITSTATUS(status));
    sink_(lost(number, "the worker process running this design " + how));
    const std::optional<QueuedDesign> next = nextDesign();
    if (next) hand(spawn(), *next);
  }

  DesignRecord lost(std::uint64_t number, const std::string& why) const {
    DesignRecord record;
    record.design = number;
    record.values = study_.designs.at(number - 1);
    record.stage = "solve";
    record.messages.push_back(why);
    for (const StudyResponse& r : study_.responses) {
      record.responses.push_back({r.name, {}, {}, "not read: the design failed"});
    }
    return record;
  }

  const Study& study_;
  const StudyTags& tags_;
  const PoolSettings& settings_;
  const DesignQueue& queue_;
  const RecordSink& sink_;
  const SubmitSink& submitted_;
  std::deque<Worker> workers_;  // a deque keeps references to workers valid as it grows
  bool queueEmpty_ = false;
  bool interruptSent_ = false;
  std::string fatal_;
  PoolOutcome outcome_;
};

}  // namespace

PoolOutcome runDesignPool(const Study& study, const StudyTags& tags, const PoolSettings& settings,
                          const DesignQueue& queue, const RecordSink& sink, const SubmitSink& submitted) {
  return Pool(study, tags, settings, queue, sink, submitted).run();
}

}  // namespace portalhost
