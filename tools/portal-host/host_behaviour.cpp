#include "host_behaviour.h"

#include "json_convert.h"

namespace portalhost {
namespace {

ServiceChoice serviceFrom(const std::string& text) {
  if (text == "none") return ServiceChoice::None;
  if (text == "other") return ServiceChoice::Other;
  return ServiceChoice::Portal;
}

std::vector<RunCommandAnswer> queueFrom(const Json& json) {
  std::vector<RunCommandAnswer> queue;
  for (const Json& entry : json) {
    RunCommandAnswer answer;
    answer.result = flagArg(entry, "result", true);
    answer.execute = flagArg(entry, "execute", false);
    if (entry.contains("writeFiles")) {
      for (const auto& file : entry.at("writeFiles").items()) {
        answer.writeFiles.emplace_back(file.key(), file.value().get<std::string>());
      }
    }
    queue.push_back(std::move(answer));
  }
  // An empty queue answers like the default one.
  if (queue.empty()) queue.emplace_back();
  return queue;
}

}  // namespace

void HostBehaviour::apply(const Json& keys) {
  if (keys.contains("present")) present = keys.at("present").get<bool>();
  if (keys.contains("service")) service = serviceFrom(keys.at("service").get<std::string>());
  if (keys.contains("settings")) settings = propsFromJson(keys.at("settings"));
  if (keys.contains("parameters")) parameters = propsFromJson(keys.at("parameters"));
  if (keys.contains("analysisProperties")) {
    analysisProperties.clear();
    for (const auto& analysis : keys.at("analysisProperties").items()) {
      auto& properties = analysisProperties[analysis.key()];
      for (const auto& property : analysis.value().items()) {
        properties[property.key()] = propsFromJson(property.value());
      }
    }
  }
  if (keys.contains("runCommand")) runCommand = queueFrom(keys.at("runCommand"));
  if (keys.contains("workingFolder")) workingFolder = keys.at("workingFolder").get<std::string>();
  if (keys.contains("stringTable")) {
    stringTable.clear();
    for (const auto& module : keys.at("stringTable").items()) {
      for (const auto& text : module.value().items()) {
        stringTable[module.key()][text.key()] = text.value().get<std::string>();
      }
    }
  }
  if (keys.contains("toolMessages")) {
    const Json& tools = keys.at("toolMessages");
    if (tools.is_null()) {
      toolMessages.reset();
    } else {
      ToolMessageTable table;
      for (const auto& tool : tools.items()) {
        for (const auto& category : tool.value().items()) {
          table[tool.key()][category.key()] = textsFromJson(category.value());
        }
      }
      toolMessages = std::move(table);
    }
  }
}

}  // namespace portalhost
