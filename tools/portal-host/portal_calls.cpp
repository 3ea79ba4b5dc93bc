#include "portal_calls.h"

#include <functional>
#include <map>

#include "json_convert.h"
#include "xmlportal/tag_data.h"

namespace portalhost {
namespace {

using ORLIX::IPortal;
using ORLIX::StringStringMap;

using Operation = std::function<void(IPortal&, const Json&, Json&)>;

StringStringMap propsArg(const Json& step, const char* key) {
  return step.contains(key) ? propsFromJson(step.at(key)) : StringStringMap();
}

using ParseMethod = bool (IPortal::*)(const ORLIX::String&, const StringStringMap&, ORLIX::PortalItemList&,
                                      ORLIX::String&);

Operation parse(ParseMethod method) {
  return [method](IPortal& portal, const Json& step, Json& record) {
    ORLIX::PortalItemList items;
    std::string message = textArg(step, "message");
    const bool result = (portal.*method)(textArg(step, "path"), propsArg(step, "props"), items, message);
    record["result"] = result;
    record["items"] = itemsToJson(items);
    record["message"] = message;
  };
}

using WriteTagsMethod = bool (IPortal::*)(const ORLIX::String&, ORLIX::Portals::TagList&, const StringStringMap&,
                                          StringStringMap&, ORLIX::String&);

Operation writeTags(WriteTagsMethod method) {
  return [method](IPortal& portal, const Json& step, Json& record) {
    ORLIX::Portals::TagList tags = step.contains("tags") ? tagsFromJson(step.at("tags")) : ORLIX::Portals::TagList();
    StringStringMap outData = propsArg(step, "outData");
    std::string message = textArg(step, "message");
    const bool result = (portal.*method)(textArg(step, "fileName"), tags, propsArg(step, "props"), outData, message);
    record["result"] = result;
    record["tags"] = tagsToJson(tags);
    record["outData"] = propsToJson(outData);
    record["message"] = message;
  };
}

using ReadTagsMethod = int (IPortal::*)(const ORLIX::String&, const StringStringMap&, ORLIX::Portals::TagList&,
                                        StringStringMap&, ORLIX::String&);

Operation readTags(ReadTagsMethod method) {
  return [method](IPortal& portal, const Json& step, Json& record) {
    ORLIX::Portals::TagList tags = step.contains("tags") ? tagsFromJson(step.at("tags")) : ORLIX::Portals::TagList();
    StringStringMap outData = propsArg(step, "outData");
    std::string message = textArg(step, "message");
    const int result = (portal.*method)(textArg(step, "path"), propsArg(step, "props"), tags, outData, message);
    record["result"] = result;
    record["tags"] = tagsToJson(tags);
    record["outData"] = propsToJson(outData);
    record["message"] = message;
  };
}

void resolveResponse(IPortal& portal, const Json& step, Json& record) {
  const ORLIX::PortalItem item = step.contains("item") ? itemFromJson(step.at("item")) : ORLIX::PortalItem();
  const ORLIX::StringList keyPath = step.contains("keyPath") ? textsFromJson(step.at("keyPath")) : ORLIX::StringList();
  ORLIX::ResponseRequestList requests;
  const bool result = portal.resolveResponse(item, keyPath, intArg(step, "mode", 0), requests);
  record["result"] = result;
  record["requests"] = requestsToJson(requests);
}

void updateInputFiles(IPortal& portal, const Json& step, Json& record) {
  std::string message = textArg(step, "message");
  const bool result = portal.updateInputFiles(propsArg(step, "props"), nullptr, message);
  record["result"] = result;
  record["message"] = message;
}

void check(IPortal& portal, const Json& step, Json& record) {
  bool flag = flagArg(step, "initial", false);
  std::string message = textArg(step, "message");
  const bool result = portal.check(textArg(step, "kind"), propsArg(step, "props"), flag, message);
  record["result"] = result;
  record["flag"] = flag;
  record["message"] = message;
}

void processOutputFiles(IPortal& portal, const Json& step, Json& record) {
  std::string message = textArg(step, "message");
  const bool result = portal.processOutputFiles(propsArg(step, "props"), nullptr, message);
  record["result"] = result;
  record["message"] = message;
}

void handleEvent(IPortal& portal, const Json& step, Json& record) {
  StringStringMap reply;
  const bool result = portal.handleEvent(textArg(step, "event"), propsArg(step, "data"), reply);
  record["result"] = result;
  record["reply"] = propsToJson(reply);
}

const std::map<std::string, Operation>& operations() {
  static const std::map<std::string, Operation> table = {
      {"parseInputFile", parse(&IPortal::parseInputFile)},
      {"parseOutputFile", parse(&IPortal::parseOutputFile)},
      {"resolveResponse", resolveResponse},
      {"writeInputTagData", writeTags(&IPortal::writeInputTagData)},
      {"writeOutputTagData", writeTags(&IPortal::writeOutputTagData)},
      {"readInputTagData", readTags(&IPortal::readInputTagData)},
      {"readOutputTagData", readTags(&IPortal::readOutputTagData)},
      {"batchMode",
       [](IPortal& portal, const Json& step, Json& record) {
         record["result"] = portal.batchMode(propsArg(step, "props"));
       }},
      {"resetRunState", [](IPortal& portal, const Json&, Json&) { portal.resetRunState(); }},
      {"updateInputFiles", updateInputFiles},
      {"check", check},
      {"processOutputFiles", processOutputFiles},
      {"notifyEngines", [](IPortal& portal, const Json&, Json&) { portal.notifyEngines("", StringStringMap()); }},
      {"handleEvent", handleEvent},
  };
  return table;
}

}  // namespace

bool isPortalOperation(const std::string& call) { return operations().count(call) != 0; }

void callPortalOperation(IPortal& portal, const std::string& call, const Json& step, Json& record) {
  operations().at(call)(portal, step, record);
}

}  // namespace portalhost
