// The host objects the portal calls back, answering from the scenario's host
// behaviour and writing down every call in the transcript of the running step.
#ifndef PORTAL_HOST_RECORDING_HOST_H
#define PORTAL_HOST_RECORDING_HOST_H

#include <cstddef>
#include <string>
#include <utility>

#include "host_behaviour.h"
#include "host_extensions.h"
#include "portal/host/portal_host.h"
#include "scenario_json.h"
#include "transcript_text.h"

namespace portalhost {

// Collects the host calls of the step that is running, printed as they come
// (see transcript_text.h). Calls made between steps (there should be none)
// have no step to belong to and are dropped.
class CallRecorder {
 public:
  // Occurrences of `workPath` in the calls are written as ${WORK}.
  explicit CallRecorder(std::string workPath = std::string()) : calls_(std::move(workPath)) {}

  // Starts a step with no calls yet.
  void startStep() {
    calls_.clear();
    inStep_ = true;
  }
  void endStep() { inStep_ = false; }
  // The calls of the step running or last ended.
  const HostCallText& calls() const { return calls_; }

  // Appends {kind: {key: value, ...}}.
  template <typename... Fields>
  void record(const char* kind, const Fields&... keysAndValues) {
    if (inStep_) calls_.add(kind, keysAndValues...);
  }

 private:
  HostCallText calls_;
  bool inStep_ = false;
};

class RecordingService : public HostService {
 public:
  RecordingService(CallRecorder& recorder, const HostBehaviour& behaviour)
      : HostService("Portal"), recorder_(recorder), behaviour_(behaviour) {}

  ORLIX::String parameterValue(const ORLIX::String& paramType, const ORLIX::String& paramName,
                               const ORLIX::String& filePath, const ORLIX::String& format,
                               ORLIX::String& message) override;
  void analysisProperty(const ORLIX::String& analysisName, const ORLIX::String& propertyKey,
                        ORLIX::StringStringMap& out) override;
  void reportResponse(const ORLIX::String& responseName, const ORLIX::StringStringMap& context,
                      const ORLIX::ResponseValues& values) override;

 private:
  CallRecorder& recorder_;
  const HostBehaviour& behaviour_;
};

class RecordingHost : public ORLIX::IPortalHost {
 public:
  RecordingHost(CallRecorder& recorder, const HostBehaviour& behaviour)
      : recorder_(recorder), behaviour_(behaviour), service_(recorder, behaviour) {}

  void message(const ORLIX::String& text, const ORLIX::String& analysisName, int evalId,
               int level) override;
  bool runCommand(const ORLIX::String& program, const ORLIX::StringList& arguments,
                  ORLIX::String& workingFolder, const ORLIX::StringStringMap& options) override;
  ORLIX::String setting(const ORLIX::String& key, const ORLIX::String& defaultValue) override;
  ORLIX::IExtension* extension(const ORLIX::String& type) override;

  // A new runCommand queue (setHost) is answered from its first entry.
  void restartCommandQueue() { nextAnswer_ = 0; }

 private:
  const RunCommandAnswer& takeAnswer();
  bool makeSubFolder(ORLIX::String& workingFolder, const ORLIX::StringStringMap& options);

  CallRecorder& recorder_;
  const HostBehaviour& behaviour_;
  RecordingService service_;
  OtherExtension other_;
  std::size_t nextAnswer_ = 0;
};

}  // namespace portalhost

#endif
