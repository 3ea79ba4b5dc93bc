#include "support_hooks.h"

#include "json_convert.h"
#include "support/host_api.h"

namespace portalhost {

using ORLIX::Support::StringTableAdmin;
using ORLIX::Support::ToolMessagesAdmin;

SupportHooks::SupportHooks(CallRecorder& recorder, const HostBehaviour& behaviour) : behaviour_(behaviour) {
  StringTableAdmin::setLookupObserver([&recorder](const ORLIX::String& module, const ORLIX::String& key) {
    recorder.record("lookup", "module", module, "key", key);
  });
  ToolMessagesAdmin::setObserver([&recorder](const ORLIX::String& tool, const ORLIX::String& category,
                                             const ORLIX::StringStringMap& variables) {
    recorder.record("toolMessages", "tool", tool, "category", category, "variables", propsToJson(variables));
  });
  ToolMessagesAdmin::setOverride(
      [&behaviour](const ORLIX::String& tool, const ORLIX::String& category, ORLIX::StringList& messages) {
        if (!behaviour.toolMessages) return false;
        messages.clear();
        const auto toolEntry = behaviour.toolMessages->find(tool);
        if (toolEntry == behaviour.toolMessages->end()) return true;
        const auto categoryEntry = toolEntry->second.find(category);
        if (categoryEntry != toolEntry->second.end()) messages = categoryEntry->second;
        return true;
      });
  addStringTable();
}

SupportHooks::~SupportHooks() {
  StringTableAdmin::setLookupObserver(nullptr);
  ToolMessagesAdmin::setObserver(nullptr);
  ToolMessagesAdmin::setOverride(nullptr);
}

void SupportHooks::replaceStringTable() {
  StringTableAdmin::reset();
  addStringTable();
}

void SupportHooks::addStringTable() {
  for (const auto& module : behaviour_.stringTable) {
    for (const auto& text : module.second) StringTableAdmin::set(module.first, text.first, text.second);
  }
}

}  // namespace portalhost
