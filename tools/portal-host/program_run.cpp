#include "program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <sstream>

#include "process_group.h"

namespace portalhost {
namespace {

using Clock = std::chrono::steady_clock;

// How long we keep reading after the program exited, should something it left
// behind keep writing.
constexpr double kDrainSeconds = 0.5;

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { close(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

// The output kept while reading: the tail, with room for whole characters.
class OutputTail {
 public:
  explicit OutputTail(std::size_t limit) : keep_(limit * 4 + 4) {}
  void append(const char* data, std::size_t size) {
    text_.append(data, size);
    // Trim in large steps so that a chatty program does not cost a copy per read.
    if (text_.size() > 2 * keep_ + 65536) text_.erase(0, text_.size() - keep_);
  }
  const std::string& text() const { return text_; }

 private:
  std::size_t keep_;
  std::string text_;
};

// Reads what is there; false once the pipe has no writer left.
bool readSome(int fd, OutputTail& output) {
  char buffer[65536];
  const ssize_t got = ::read(fd, buffer, sizeof buffer);
  if (got > 0) output.append(buffer, static_cast<std::size_t>(got));
  return got > 0 || (got < 0 && (errno == EINTR || errno == EAGAIN));
}

double secondsLeft(Clock::time_point deadline) {
  return std::chrono::duration<double>(deadline - Clock::now()).count();
}

// Waits for the program, reading its output as it comes, until it exits or
// `deadline` passes; true when it exited.
bool readUntilExit(ProcessGroup& program, int fd, Clock::time_point deadline, OutputTail& tail, bool& pipeOpen) {
  for (;;) {
    const double left = secondsLeft(deadline);
    if (left <= 0) return false;
    switch (program.waitFor(left, pipeOpen ? fd : -1)) {
      case ProcessGroup::Wait::Exited: return true;
      case ProcessGroup::Wait::TimedOut: return false;
      case ProcessGroup::Wait::Woken: pipeOpen = readSome(fd, tail); break;
    }
  }
}

// Reads what is ready now, for a bounded time: a helper left behind may hold
// the pipe open.
void drainReady(int fd, OutputTail& tail) {
  const auto stop = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kDrainSeconds));
  while (Clock::now() < stop) {
    pollfd watched{fd, POLLIN, 0};
    const int ready = ::poll(&watched, 1, 0);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0 || !readSome(fd, tail)) return;
  }
}

}  // namespace

std::string lastCharacters(const std::string& text, std::size_t limit) {
  if (limit == 0) return "";
  std::size_t counted = 0;
  for (std::size_t i = text.size(); i-- > 0;) {
    const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
    if (!continuation && ++counted == limit) return text.substr(i);
  }
  return text;
}

ProgramResult runProgramCaptured(const ProgramRun& run) {
  ProgramResult result;
  if (run.command.empty() || run.command.front().empty()) {
    result.problem = "no program to run";
    return result;
  }
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) {
    result.problem = std::string("cannot make a pipe: ") + std::strerror(errno);
    return result;
  }
  Descriptor reading(ends[0]), writing(ends[1]);
  ProcessGroup program(LaunchRequest{run.command, run.folder, run.env, writing.get()});
  writing.close();
  if (!program.started()) {
    result.problem = "cannot start: " + program.error();
    return result;
  }
  const auto deadline =
      Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                         run.timeoutSeconds > 0 ? std::min(run.timeoutSeconds, 1e9) : 0));
  OutputTail tail(run.outputLimit);
  bool pipeOpen = true;
  const bool exited = readUntilExit(program, reading.get(), deadline, tail, pipeOpen);
  if (exited && pipeOpen) drainReady(reading.get(), tail);
  // Whatever the program left running in its group goes with it.
  program.stop(exited ? 0 : run.graceSeconds);
  if (!exited && pipeOpen) drainReady(reading.get(), tail);
  result.output = lastCharacters(tail.text(), run.outputLimit);
  if (!exited) {
    std::ostringstream problem;
    problem << "stopped after " << run.timeoutSeconds << " s";
    result.problem = problem.str();
  } else {
    result.exitCode = program.signal() != 0 ? 128 + program.signal() : program.exitCode();
  }
  return result;
}

}  // namespace portalhost
