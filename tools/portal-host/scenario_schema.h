// Checks a whole scenario before anything runs, so that a typo in step 40 cannot
// leave a half-played run behind. Every error names where it is, e.g.
//   steps[3].call: unknown call "frobnicate"
#ifndef PORTAL_HOST_SCENARIO_SCHEMA_H
#define PORTAL_HOST_SCENARIO_SCHEMA_H

#include <stdexcept>
#include <string>

#include "scenario_json.h"

namespace portalhost {

// A scenario that cannot be played as written (exit status 2).
class ScenarioError : public std::runtime_error {
 public:
  explicit ScenarioError(const std::string& what) : std::runtime_error(what) {}
};

bool isKnownCall(const std::string& call);
// Calls that act on a portal object (and so accept "portal").
bool callUsesPortal(const std::string& call);

// Throws ScenarioError for the first problem found. Unknown keys inside a step
// or inside "host" are accepted: later versions may add optional keys there.
void validateScenario(const Json& scenario);

// The keys of "host" (or of a setHost step); `where` prefixes error fields.
void validateHostKeys(const Json& host, const std::string& where);

// "0555" -> 0555; -1 when the text is not an octal permission mode.
int parseOctalMode(const std::string& text);

}  // namespace portalhost

#endif
