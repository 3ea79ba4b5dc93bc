// Comparing a transcript with the expected one: JSON values, where the order of
// an object's keys does not matter and the order of a list does.
#ifndef PORTAL_HOST_TRANSCRIPT_COMPARE_H
#define PORTAL_HOST_TRANSCRIPT_COMPARE_H

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace portalhost {

// One line per difference, located by a JSON pointer and, inside "steps", by the
// step's call, e.g.
//   /steps/2/host/0/extension/type (step 2: portalFactory): expected "Portal", actual "Other"
// Lists are aligned on their common elements first, so one extra record shows
// as one "unexpected" line rather than as every later element differing.
std::vector<std::string> compareTranscripts(const nlohmann::json& expected, const nlohmann::json& actual);

}  // namespace portalhost

#endif
