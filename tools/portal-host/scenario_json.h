// The JSON flavour used for scenarios and transcripts. Objects keep the order in
// which keys were written, so a transcript reads "call" first and "host" last,
// and files and variables are applied in the order the scenario lists them.
#ifndef PORTAL_HOST_SCENARIO_JSON_H
#define PORTAL_HOST_SCENARIO_JSON_H

#include <nlohmann/json.hpp>

namespace portalhost {

using Json = nlohmann::ordered_json;

}  // namespace portalhost

#endif
