// What every benchmark driver shares: a quiet host (answers parameter values
// from a map, takes reports without recording more than a count, prints
// nothing), the generators' number sequence, the tag files' names, and the
// timing and the result line of an operation.
#ifndef ORLIX_BENCH_BENCH_HOST_H
#define ORLIX_BENCH_BENCH_HOST_H

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <map>

#include "portal/host/portal_host.h"
#include "portal/host/support.h"
#include "portal/properties.h"

namespace bench {

class QuietService : public ORLIX::IPortalService {
 public:
  ORLIX::String type() const override { return "Portal"; }
  ORLIX::String name() const override { return "bench"; }
  ORLIX::IProperties& properties() override { return ORLIX::Portals::emptyProperties(); }
  void* getInterface(int) override { return nullptr; }
  ORLIX::String parameterValue(const ORLIX::String&, const ORLIX::String& paramName,
                               const ORLIX::String&, const ORLIX::String&,
                               ORLIX::String&) override {
    auto it = values.find(paramName);
    return it == values.end() ? otherValues : it->second;
  }
  void analysisProperty(const ORLIX::String& analysisName, const ORLIX::String& key,
                        ORLIX::StringStringMap& out) override {
    auto it = properties_.find(analysisName + "\n" + key);
    if (it != properties_.end()) out = it->second;
    if (!responseDataType.empty()) out.set("responseDataType", responseDataType);
  }
  void reportResponse(const ORLIX::String&, const ORLIX::StringStringMap&,
                      const ORLIX::ResponseValues& reported) override {
    ++reports;
    reportedValues += reported.numbers.size() + reported.texts.size();
  }
  void setProperty(const ORLIX::String& analysisName, const ORLIX::String& key,
                   const ORLIX::StringStringMap& map) {
    properties_[analysisName + "\n" + key] = map;
  }

  std::map<ORLIX::String, ORLIX::String> values;
  // The value of every parameter not in `values`.
  ORLIX::String otherValues = "0";
  // When set, the data type of every response (results files are mostly
  // "Numeric").
  ORLIX::String responseDataType;
  std::size_t reports = 0;
  std::size_t reportedValues = 0;

 private:
  std::map<ORLIX::String, ORLIX::StringStringMap> properties_;
};

class QuietHost : public ORLIX::IPortalHost {
 public:
  void message(const ORLIX::String&, const ORLIX::String&, int, int) override {}
  bool runCommand(const ORLIX::String&, const ORLIX::StringList&, ORLIX::String&,
                  const ORLIX::StringStringMap&) override {
    return true;
  }
  ORLIX::String setting(const ORLIX::String&, const ORLIX::String& fallback) override {
    return fallback;
  }
  ORLIX::IExtension* extension(const ORLIX::String& type) override {
    return type == "Portal" ? &service : nullptr;
  }
  QuietService service;
};

// The peak resident memory of this process so far, in kilobytes; each bench
// operation runs in a process of its own, so this is the operation's.
inline long peakKilobytes() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Generated inputs come from one fixed linear congruential sequence, so every
// run writes the same bytes (and the awk baselines read the same values).
class Sequence {
 public:
  unsigned long nextState() {
    state_ = state_ * 6364136223846793005UL + 1442695040888963407UL;
    return state_;
  }
  // The next number in [0, 1).
  double next() { return static_cast<double>(nextState() >> 40) / 16777216.0; }

 private:
  unsigned long state_ = 12345;
};

// A file's tag file lies beside it: `prefix` ("P_in_", "M_out_", ...), then
// "bench_" and the file's name.
inline ORLIX::String tagFileBeside(const ORLIX::String& file, const char* prefix) {
  return ORLIX::Support::File::parentFolder(file) + "/" + prefix + "bench_" +
         ORLIX::Support::File::base(file, true);
}

class Stopwatch {
 public:
  double seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Prints the line the bench scripts read for one operation,
//   <what> ok=<0|1> seconds=<s> peak_kb=<kb> <countName>=<count>
// and the operation's message on standard error when it failed; returns the
// driver's exit status.
inline int reportOperation(const ORLIX::String& what, bool ok, double seconds,
                           const char* countName, std::size_t count,
                           const ORLIX::String& message) {
  std::printf("%s ok=%d seconds=%.3f peak_kb=%ld %s=%zu\n", what.c_str(), ok ? 1 : 0, seconds,
              peakKilobytes(), countName, count);
  if (!ok) std::fprintf(stderr, "%s\n", message.c_str());
  return ok ? 0 : 1;
}

}  // namespace bench

#endif
