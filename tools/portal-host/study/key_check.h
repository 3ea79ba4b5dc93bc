// Unknown keys in a study file: the usual cause is a typo, so the message
// names the key and the known key it is closest to.
#ifndef PORTAL_HOST_STUDY_KEY_CHECK_H
#define PORTAL_HOST_STUDY_KEY_CHECK_H

#include <string>
#include <vector>

#include "scenario_json.h"

namespace portalhost {

// The known key nearest to `word` by edit distance (letter case counts half);
// empty when `known` is empty.
std::string closestKey(const std::string& word, const std::vector<std::string>& known);

// One problem text per key of `object` that is not in `known`, e.g.
//   solver.timout: unknown key (did you mean "timeout"?)
std::vector<std::string> unknownKeys(const Json& object, const std::vector<std::string>& known,
                                     const std::string& where);

}  // namespace portalhost

#endif
