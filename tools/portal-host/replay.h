// Playing a scenario against the portal library and producing its transcript.
#ifndef PORTAL_HOST_REPLAY_H
#define PORTAL_HOST_REPLAY_H

#include <string>

#include "scenario_json.h"

namespace portalhost {

struct ReplayOptions {
  std::string portalPath;  // absolute: the run changes the current folder
  bool keep = false;       // keep the work folder and name it on standard error
};

// Plays a validated scenario in a fresh work folder and returns the transcript's
// text, with the work folder's path written as ${WORK}. Throws ScenarioError for a
// step that cannot run as written and LibraryError when the library fails.
std::string replayScenario(Json scenario, const ReplayOptions& options);

}  // namespace portalhost

#endif
