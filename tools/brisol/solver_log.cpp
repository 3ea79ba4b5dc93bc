#include "solver_log.h"

#include <cerrno>
#include <cstring>

namespace brisol {

bool SolverLog::open(const std::string& path, std::string& why) {
  out_.open(path, std::ios::binary | std::ios::trunc);
  if (!out_) {
    why = "unable to write the log file \"" + path + "\": " + std::strerror(errno);
    return false;
  }
  return true;
}

// A line break inside a message would start a line the host reads on its own.
void SolverLog::line(const std::string& text) {
  std::string flat = text;
  for (char& c : flat) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  if (flat.rfind("%%%E", 0) == 0) ++errors_;
  if (flat.rfind("%%%W", 0) == 0) ++warnings_;
  out_ << flat << '\n' << std::flush;
}

}  // namespace brisol
