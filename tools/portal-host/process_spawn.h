// Starting a program in a folder without waiting for it, so that the host can
// poll the portal's finish check while the solver runs.
#ifndef PORTAL_HOST_PROCESS_SPAWN_H
#define PORTAL_HOST_PROCESS_SPAWN_H

#include <string>
#include <vector>

namespace portalhost {

class ChildProcess {
 public:
  // Starts `program` (searched on PATH when it has no '/') with `arguments` in
  // `folder`; its standard output and error go to `outputFile` (appended).
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& folder, const std::string& outputFile);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // True once the program has ended (never blocks).
  bool finished();
  // Waits for the end; true when the program exited with status 0.
  bool wait();

 private:
  int pid_ = -1;
  bool ended_ = false;
  int status_ = 0;
};

// Runs a program to its end; true when it exited with status 0.
bool runToEnd(const std::string& program, const std::vector<std::string>& arguments,
              const std::string& folder, const std::string& outputFile);

}  // namespace portalhost

#endif
