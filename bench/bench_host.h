// A quiet host for benchmarks: answers parameter values from a map, takes
// reports without recording more than a count, and prints nothing.
#ifndef ORLIX_BENCH_BENCH_HOST_H
#define ORLIX_BENCH_BENCH_HOST_H

#include <sys/resource.h>

#include <map>

#include "portal/host/portal_host.h"
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

}  // namespace bench

#endif
