#include "study/interruption.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace portalhost {
namespace {

int pipeFds[2] = {-1, -1};
std::atomic<int> signals{0};
std::atomic<bool> hangup{false};

void onSignal(int signal) {
  const int saved = errno;
  if (signal == SIGHUP) hangup.store(true);
  signals.fetch_add(1);
  const char byte = 1;
  (void)!::write(pipeFds[1], &byte, 1);
  errno = saved;
}

}  // namespace

void Interruption::install() {
  if (pipeFds[0] >= 0) {
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
  }
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) pipeFds[0] = pipeFds[1] = -1;
  signals.store(0);
  hangup.store(false);
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

void Interruption::installForWorker() {
  install();
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGHUP, &action, nullptr);
}

bool Interruption::orphaned() { return hangup.load(); }

int Interruption::wakeFd() { return pipeFds[0]; }

int Interruption::count() { return signals.load(); }

}  // namespace portalhost
