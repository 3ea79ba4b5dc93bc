// SIGINT and SIGTERM as an event: the handler only writes a byte into a pipe,
// and whoever waits (for a solver, for workers) also watches that pipe, so an
// interruption wakes every wait at once. SIGHUP is the same event for a
// worker whose parent is gone (or whose terminal closed): it stops, but leaves
// batch jobs to a resumed study, which waits for them.
#ifndef PORTAL_HOST_STUDY_INTERRUPTION_H
#define PORTAL_HOST_STUDY_INTERRUPTION_H

namespace portalhost {

class Interruption {
 public:
  // Installs the handlers (once per process; call again in a forked child so
  // that it has a pipe of its own).
  static void install();
  // The same, with SIGHUP meaning "the parent is gone".
  static void installForWorker();
  // Readable once a signal has arrived; stays readable.
  static int wakeFd();
  // How many signals have arrived.
  static int count();
  // SIGHUP arrived: stop, but leave batch jobs running.
  static bool orphaned();
};

}  // namespace portalhost

#endif
