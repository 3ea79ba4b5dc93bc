// How the host answers the portal: the "host" object of a scenario, as changed
// by setHost steps. Plain data; the recording host consults it on every call.
#ifndef PORTAL_HOST_HOST_BEHAVIOUR_H
#define PORTAL_HOST_HOST_BEHAVIOUR_H

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "portal/host/host_types.h"
#include "scenario_json.h"

namespace portalhost {

enum class ServiceChoice { Portal, None, Other };

struct RunCommandAnswer {
  bool result = true;
  std::vector<std::pair<std::string, std::string>> writeFiles;  // path -> text, in scenario order
  bool execute = false;
};

using ToolMessageTable = std::map<std::string, std::map<std::string, ORLIX::StringList>>;
using StringTableEntries = std::map<std::string, std::map<std::string, std::string>>;

struct HostBehaviour {
  explicit HostBehaviour(const std::string& workPath) : workingFolder(workPath + "/.host") {}

  bool present = true;
  ServiceChoice service = ServiceChoice::Portal;
  ORLIX::StringStringMap settings;
  ORLIX::StringStringMap parameters;
  std::map<std::string, std::map<std::string, ORLIX::StringStringMap>> analysisProperties;
  std::vector<RunCommandAnswer> runCommand{RunCommandAnswer{}};
  std::string workingFolder;
  StringTableEntries stringTable;
  std::optional<ToolMessageTable> toolMessages;

  // Replaces exactly the keys present in `keys` (a validated "host" object or
  // setHost step); every other key keeps its current behaviour.
  void apply(const Json& keys);
};

}  // namespace portalhost

#endif
