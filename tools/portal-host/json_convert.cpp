#include "json_convert.h"

#include <cmath>

namespace portalhost {
namespace {

// Entries and tag attributes share one shape; the kind may be left out when reading.
template <typename Entry>
std::vector<Entry> entriesFromJson(const Json& json) {
  std::vector<Entry> entries;
  for (const Json& triple : json) {
    entries.push_back(Entry{triple.at(0).get<std::string>(), triple.at(1).get<std::string>(),
                            triple.size() > 2 ? triple.at(2).get<std::string>() : std::string()});
  }
  return entries;
}

template <typename Entry>
Json entriesToJson(const std::vector<Entry>& entries) {
  Json json = Json::array();
  for (const Entry& entry : entries) json.push_back(Json::array({entry.key, entry.value, entry.kind}));
  return json;
}

}  // namespace

std::string textArg(const Json& step, const char* key, const std::string& fallback) {
  return step.contains(key) ? step.at(key).get<std::string>() : fallback;
}

bool flagArg(const Json& step, const char* key, bool fallback) {
  return step.contains(key) ? step.at(key).get<bool>() : fallback;
}

int intArg(const Json& step, const char* key, int fallback) {
  return step.contains(key) ? step.at(key).get<int>() : fallback;
}

ORLIX::StringStringMap propsFromJson(const Json& json) {
  ORLIX::StringStringMap props;
  if (json.is_null()) return props;
  for (const auto& entry : json.items()) props.set(entry.key(), entry.value().get<std::string>());
  return props;
}

Json propsToJson(const ORLIX::StringStringMap& props) {
  Json json = Json::object();
  for (const auto& entry : props) json[entry.first] = entry.second;
  return json;
}

ORLIX::StringList textsFromJson(const Json& json) {
  ORLIX::StringList texts;
  if (json.is_null()) return texts;
  for (const Json& text : json) texts.push_back(text.get<std::string>());
  return texts;
}

Json textsToJson(const ORLIX::StringList& texts) {
  Json json = Json::array();
  for (const auto& text : texts) json.push_back(text);
  return json;
}

ORLIX::PortalItem itemFromJson(const Json& json) {
  ORLIX::PortalItem item;
  if (json.is_null()) return item;
  item.name = textArg(json, "name");
  item.typeLabel = textArg(json, "typeLabel");
  item.flags = intArg(json, "flags", 0);
  if (json.contains("entries")) item.entries = entriesFromJson<ORLIX::PortalEntry>(json.at("entries"));
  if (json.contains("children")) {
    for (const Json& child : json.at("children")) item.children.push_back(itemFromJson(child));
  }
  return item;
}

Json itemToJson(const ORLIX::PortalItem& item) {
  Json json = Json::object();
  json["name"] = item.name;
  json["typeLabel"] = item.typeLabel;
  json["flags"] = item.flags;
  json["entries"] = entriesToJson(item.entries);
  json["children"] = itemsToJson(item.children);
  return json;
}

Json itemsToJson(const ORLIX::PortalItemList& items) {
  Json json = Json::array();
  for (const auto& item : items) json.push_back(itemToJson(item));
  return json;
}

ORLIX::Portals::TagList tagsFromJson(const Json& json) {
  ORLIX::Portals::TagList tags;
  if (json.is_null()) return tags;
  for (const Json& tagJson : json) {
    ORLIX::Portals::TagData tag;
    if (tagJson.contains("path")) tag.path = textsFromJson(tagJson.at("path"));
    tag.paramName = textArg(tagJson, "paramName");
    tag.paramType = textArg(tagJson, "paramType");
    if (tagJson.contains("attributes")) {
      tag.attributes = entriesFromJson<ORLIX::Portals::TagAttribute>(tagJson.at("attributes"));
    }
    tags.push_back(std::move(tag));
  }
  return tags;
}

Json tagsToJson(const ORLIX::Portals::TagList& tags) {
  Json json = Json::array();
  for (const auto& tag : tags) {
    Json tagJson = Json::object();
    tagJson["path"] = textsToJson(tag.path);
    tagJson["paramName"] = tag.paramName;
    tagJson["paramType"] = tag.paramType;
    tagJson["attributes"] = entriesToJson(tag.attributes);
    json.push_back(std::move(tagJson));
  }
  return json;
}

Json requestsToJson(const ORLIX::ResponseRequestList& requests) {
  Json json = Json::array();
  for (const auto& request : requests) {
    json.push_back(Json{{"name", request.name}, {"columns", textsToJson(request.columns)}});
  }
  return json;
}

Json numbersToJson(const std::vector<double>& numbers) {
  Json json = Json::array();
  for (double number : numbers) {
    if (std::isnan(number)) {
      json.push_back("nan");
    } else if (std::isinf(number)) {
      json.push_back(number > 0 ? "inf" : "-inf");
    } else {
      json.push_back(number);
    }
  }
  return json;
}

}  // namespace portalhost
