// A replay runs in a scratch folder under /tmp that may hold copies of large
// models; interrupted (Ctrl-C, a kill, the terminal closing) it would leave
// the folder behind on a shared disk. While a CleanupOnSignal lives, SIGINT,
// SIGTERM and SIGHUP run its cleanup and then end the process as the signal
// would have (a shell sees 130 for Ctrl-C).
//
// The handler only writes the signal's number into a pipe; a thread of the
// guard's own reads it and does the cleanup outside the signal's context, so
// the cleanup may use anything, while the run it interrupts goes on until the
// process ends. Programs the run starts get the default handlers back when
// they start. One guard at a time; the handlers it replaced come back when it
// goes.
#ifndef PORTAL_HOST_CLEANUP_ON_SIGNAL_H
#define PORTAL_HOST_CLEANUP_ON_SIGNAL_H

#include <signal.h>

#include <functional>
#include <iterator>
#include <thread>

namespace portalhost {

class CleanupOnSignal {
 public:
  explicit CleanupOnSignal(std::function<void()> cleanup);
  ~CleanupOnSignal();
  CleanupOnSignal(const CleanupOnSignal&) = delete;
  CleanupOnSignal& operator=(const CleanupOnSignal&) = delete;

 private:
  static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

  void watch();

  std::function<void()> cleanup_;
  int pipe_[2] = {-1, -1};
  struct sigaction previous_[std::size(kSignals)] = {};
  std::thread watcher_;
};

}  // namespace portalhost

#endif
