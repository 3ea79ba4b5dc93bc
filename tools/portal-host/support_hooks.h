// The host's hold on the support library: the scenario's string-table texts,
// the tool-message answers, and the observers that put the portal's use of both
// into the transcript.
#ifndef PORTAL_HOST_SUPPORT_HOOKS_H
#define PORTAL_HOST_SUPPORT_HOOKS_H

#include "host_behaviour.h"
#include "recording_host.h"

namespace portalhost {

class SupportHooks {
 public:
  // Installs the observers and the tool-message override (which answers only
  // while the behaviour has toolMessages) and adds the string-table texts.
  SupportHooks(CallRecorder& recorder, const HostBehaviour& behaviour);
  // Removes everything installed, so the support library holds no reference to us.
  ~SupportHooks();
  SupportHooks(const SupportHooks&) = delete;
  SupportHooks& operator=(const SupportHooks&) = delete;

  // After setHost changed stringTable: the earlier scenario texts go, the new ones come.
  void replaceStringTable();

 private:
  void addStringTable();

  const HostBehaviour& behaviour_;
};

}  // namespace portalhost

#endif
