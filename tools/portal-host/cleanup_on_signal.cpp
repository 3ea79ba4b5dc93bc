#include "cleanup_on_signal.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <utility>

namespace portalhost {
namespace {

// The write end of the living guard's pipe; -1 when there is none.
std::atomic<int> wakeFd{-1};

void onSignal(int signal) {
  const int saved = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  (void)!::write(wakeFd.load(), &number, 1);
  errno = saved;
}

}  // namespace

CleanupOnSignal::CleanupOnSignal(std::function<void()> cleanup) : cleanup_(std::move(cleanup)) {
  // Without a pipe there is no guard: the run goes on as it would have.
  if (::pipe2(pipe_, O_CLOEXEC) != 0) {
    pipe_[0] = pipe_[1] = -1;
    return;
  }
  wakeFd.store(pipe_[1]);
  watcher_ = std::thread([this] { watch(); });
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &action, &previous_[i]);
}

CleanupOnSignal::~CleanupOnSignal() {
  if (pipe_[0] < 0) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &previous_[i], nullptr);
  const unsigned char stop = 0;
  (void)!::write(pipe_[1], &stop, 1);
  watcher_.join();
  wakeFd.store(-1);
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void CleanupOnSignal::watch() {
  unsigned char number = 0;
  ssize_t got = 0;
  do {
    got = ::read(pipe_[0], &number, 1);
  } while (got < 0 && errno == EINTR);
  if (got != 1 || number == 0) return;

  cleanup_();
  // Ended by the signal itself, so that whoever started the run sees why.
  const int signal = number;
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal);
  ::_exit(128 + signal);
}

}  // namespace portalhost
