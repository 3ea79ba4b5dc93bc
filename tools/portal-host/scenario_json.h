// The JSON flavour used for scenarios and transcripts. Objects keep the order in
// which keys were written, so a transcript reads "call" first and "host" last,
// and files and variables are applied in the order the scenario lists them.
// Their keys are indexed, so that an object of many thousand parameter values
// reads and answers in linear time (see indexed_object.h).
#ifndef PORTAL_HOST_SCENARIO_JSON_H
#define PORTAL_HOST_SCENARIO_JSON_H

#include <nlohmann/json.hpp>

#include "indexed_object.h"

namespace portalhost {

using Json = nlohmann::basic_json<IndexedObject>;

}  // namespace portalhost

#endif
