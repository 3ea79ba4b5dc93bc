// Conversions between the boundary types and their JSON shapes. Reading assumes
// a validated scenario (absent keys take their defaults); writing always emits
// every key, so transcripts have one shape whatever the portal filled in.
#ifndef PORTAL_HOST_JSON_CONVERT_H
#define PORTAL_HOST_JSON_CONVERT_H

#include <string>
#include <vector>

#include "portal/host/host_types.h"
#include "scenario_json.h"
#include "xmlportal/tag_data.h"

namespace portalhost {

// Step arguments with their defaults when absent.
std::string textArg(const Json& step, const char* key, const std::string& fallback = "");
bool flagArg(const Json& step, const char* key, bool fallback);
int intArg(const Json& step, const char* key, int fallback);

ORLIX::StringStringMap propsFromJson(const Json& json);
Json propsToJson(const ORLIX::StringStringMap& props);

ORLIX::StringList textsFromJson(const Json& json);
Json textsToJson(const ORLIX::StringList& texts);

ORLIX::PortalItem itemFromJson(const Json& json);
Json itemToJson(const ORLIX::PortalItem& item);
Json itemsToJson(const ORLIX::PortalItemList& items);

ORLIX::Portals::TagList tagsFromJson(const Json& json);
Json tagsToJson(const ORLIX::Portals::TagList& tags);

Json requestsToJson(const ORLIX::ResponseRequestList& requests);

// Numbers that JSON cannot hold become "nan", "inf" or "-inf".
Json numbersToJson(const std::vector<double>& numbers);

}  // namespace portalhost

#endif
