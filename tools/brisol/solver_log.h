// The run's log, "<deck base>.log". The host decides from it whether the run
// has finished: one "FAC Pointers <module>" line per module that finished, or
// a "%%%E" line when the run failed. Each line is flushed as it is written,
// because the host reads the log while the solver still runs.
#ifndef BRISOL_SOLVER_LOG_H
#define BRISOL_SOLVER_LOG_H

#include <fstream>
#include <string>

namespace brisol {

class SolverLog {
 public:
  // Starts the log afresh; false, with the reason, when it cannot be written.
  bool open(const std::string& path, std::string& why);

  void line(const std::string& text);
  void error(const std::string& text) { line("%%%E " + text); }
  void warning(const std::string& text) { line("%%%W " + text); }
  // Write it only once the module's results are on disk: the host reads them
  // as soon as it has seen every module's line.
  void moduleFinished(const std::string& module) { line("FAC Pointers " + module); }

  int errors() const { return errors_; }
  int warnings() const { return warnings_; }

 private:
  std::ofstream out_;
  int errors_ = 0;
  int warnings_ = 0;
};

}  // namespace brisol

#endif
