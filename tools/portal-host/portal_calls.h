// The IPortal operations a step can call, each with its arguments taken from the
// step and its outcome written into the step's transcript record.
#ifndef PORTAL_HOST_PORTAL_CALLS_H
#define PORTAL_HOST_PORTAL_CALLS_H

#include <string>

#include "portal/host/portal.h"
#include "scenario_json.h"

namespace portalhost {

// True when `call` is one of the IPortal operations below (as opposed to the
// calls on IExtension and the host's own steps).
bool isPortalOperation(const std::string& call);

// Runs the operation on `portal`; exceptions from the portal pass through.
void callPortalOperation(ORLIX::IPortal& portal, const std::string& call, const Json& step, Json& record);

}  // namespace portalhost

#endif
