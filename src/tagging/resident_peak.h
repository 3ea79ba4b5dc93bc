// How much resident memory a piece of work adds at its peak, for tests of
// code that must not copy large data. The work runs in a child process, so
// nothing else the tests did counts: the child resets the kernel's
// high-water mark, runs the work and reports the peak above where it started.
#ifndef ORLIX_TAGGING_RESIDENT_PEAK_H
#define ORLIX_TAGGING_RESIDENT_PEAK_H

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

namespace ORLIX {
namespace Portals {
namespace testing {

// The kB of a "VmRSS:  1234 kB" line of /proc/self/status; -1 when missing.
inline long long statusKilobytes(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.compare(0, field.size() + 1, field + ":") == 0) {
      return std::atoll(line.c_str() + field.size() + 1);
    }
  }
  return -1;
}

// In the child: the peak growth in bytes, -1 when the high-water mark cannot
// be reset or read, -2 when the work failed.
inline long long measureHere(const std::function<bool()>& work) {
  std::ofstream reset("/proc/self/clear_refs");
  reset << "5";
  reset.close();
  const long long before = statusKilobytes("VmRSS");
  if (!reset || before < 0) return -1;
  if (!work()) return -2;
  const long long peak = statusKilobytes("VmHWM");
  return peak < 0 ? -1 : (peak - before) * 1024;
}

// The peak resident growth of `work` in bytes; -1 when it cannot be
// measured here, -2 when the work returned false.
inline long long residentPeakGrowth(const std::function<bool()>& work) {
  int channel[2];
  if (::pipe(channel) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    const long long growth = measureHere(work);
    const bool sent = ::write(channel[1], &growth, sizeof growth) == sizeof growth;
    ::_exit(sent ? 0 : 1);
  }
  ::close(channel[1]);
  long long growth = -1;
  if (child < 0 || ::read(channel[0], &growth, sizeof growth) != sizeof growth) growth = -1;
  ::close(channel[0]);
  if (child > 0) ::waitpid(child, nullptr, 0);
  return growth;
}

}  // namespace testing
}  // namespace Portals
}  // namespace ORLIX

#endif
