// The portal objects created in this run, numbered from 0 in creation order
// (a null factory result is not a portal and takes no number).
#ifndef PORTAL_HOST_PORTAL_REGISTRY_H
#define PORTAL_HOST_PORTAL_REGISTRY_H

#include <cstddef>
#include <string>
#include <vector>

#include "portal/host/portal.h"
#include "scenario_json.h"

namespace portalhost {

struct LivePortal {
  ORLIX::IExtension* extension = nullptr;  // null once destroyed
  ORLIX::IPortal* portal = nullptr;        // null when getInterface(2) gave nothing
};

class PortalRegistry {
 public:
  PortalRegistry() = default;
  // Destroys the portals still alive, as the real host does when it unloads.
  ~PortalRegistry() { destroyAll(); }
  PortalRegistry(const PortalRegistry&) = delete;
  PortalRegistry& operator=(const PortalRegistry&) = delete;

  void add(ORLIX::IExtension* extension, ORLIX::IPortal* portal);
  // The portal a step acts on: step["portal"] when given, else the most recently
  // created one still alive. Throws ScenarioError (field `where`.portal) when
  // there is none.
  LivePortal& pick(const Json& step, const std::string& where);
  // Deletes through the IExtension virtual destructor.
  void destroy(LivePortal& live);
  void destroyAll();

 private:
  std::vector<LivePortal> portals_;
};

}  // namespace portalhost

#endif
