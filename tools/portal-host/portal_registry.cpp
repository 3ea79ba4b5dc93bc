#include "portal_registry.h"

#include "scenario_schema.h"

namespace portalhost {

void PortalRegistry::add(ORLIX::IExtension* extension, ORLIX::IPortal* portal) {
  portals_.push_back(LivePortal{extension, portal});
}

LivePortal& PortalRegistry::pick(const Json& step, const std::string& where) {
  if (step.contains("portal")) {
    const int index = step.at("portal").get<int>();
    if (index < 0 || static_cast<std::size_t>(index) >= portals_.size()) {
      throw ScenarioError(where + ".portal: no portal " + std::to_string(index) + " (" +
                          std::to_string(portals_.size()) + " created so far)");
    }
    LivePortal& live = portals_[static_cast<std::size_t>(index)];
    if (live.extension == nullptr) {
      throw ScenarioError(where + ".portal: portal " + std::to_string(index) + " was destroyed");
    }
    return live;
  }
  for (auto it = portals_.rbegin(); it != portals_.rend(); ++it) {
    if (it->extension != nullptr) return *it;
  }
  throw ScenarioError(where + ".portal: no portal is alive at this step");
}

void PortalRegistry::destroy(LivePortal& live) {
  ORLIX::IExtension* extension = live.extension;
  live.extension = nullptr;
  live.portal = nullptr;
  delete extension;
}

void PortalRegistry::destroyAll() {
  for (auto it = portals_.rbegin(); it != portals_.rend(); ++it) {
    if (it->extension != nullptr) destroy(*it);
  }
}

}  // namespace portalhost
