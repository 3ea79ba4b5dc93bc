// resolveResponse: which further choices a catalogue response needs from the
// user (mode 4096) or from the design's key (mode 8192).
#include "brisol/brisol_portal.h"
#include "portal/edge_guard.h"
#include "portal/text.h"

using ORLIX::PortalItem;
using ORLIX::ResponseRequest;
using ORLIX::ResponseRequestList;
using ORLIX::String;
using ORLIX::StringList;
using namespace ORLIX::Portals;

namespace {

constexpr int kChoicesMode = 4096;
constexpr int kKeyMode = 8192;

struct IdentifierKind {
  const char* placeholder;
  const char* entityColumn;
  const char* keyRequest;
  const char* keyColumn;
};

const IdentifierKind kKinds[] = {{"Element %d", "Element ID", "element", "Element ID"},
                                 {"Node %d", "Node ID", "node", "Node ID"},
                                 {"Ply %d", "Ply ID", "ply", "Ply Number"}};

const PortalItem* child(const PortalItem& item, const String& name) {
  for (const PortalItem& c : item.children) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

bool hasEntry(const PortalItem& item, const String& key) {
  for (const auto& entry : item.entries) {
    if (entry.key == key) return true;
  }
  return false;
}

// A child or an entry of that name; "A.B" is the entry B inside the child A.
bool has(const PortalItem& item, const String& name) {
  const auto dot = name.find('.');
  if (dot != String::npos) {
    const PortalItem* inner = child(item, name.substr(0, dot));
    return inner && hasEntry(*inner, name.substr(dot + 1));
  }
  return child(item, name) || hasEntry(item, name);
}

String entryValue(const PortalItem* item, const String& key) {
  if (!item) return String();
  for (const auto& entry : item->entries) {
    if (entry.key == key) return entry.value;
  }
  return String();
}

}  // namespace

bool brisolPortal::resolveResponse(const PortalItem& item, const StringList& keyPath, int mode,
                                   ResponseRequestList& requests) {
  return guarded(false, [&] {
    const std::size_t before = requests.size();
    const String location = entryValue(child(item, "Portal Data"), "location");
    bool fixedByKey[3] = {false, false, false};
    bool entityColumn[3] = {false, false, false};
    for (int k = 0; k < 3; ++k) {
      if (!contains(location, kKinds[k].placeholder)) continue;
      fixedByKey[k] = keyPath.size() >= 2 && contains(keyPath.back(), kKinds[k].placeholder);
      entityColumn[k] = !fixedByKey[k];
    }
    if (mode == kChoicesMode) {
      if (has(item, "#$Reference") && !has(item, "#$Reference.<None>")) {
        requests.push_back(ResponseRequest{"#$Reference", {}});
      }
      if (has(item, "#$Selection")) requests.push_back(ResponseRequest{"#$Selection", {}});
      if (entityColumn[0] || entityColumn[1] || entityColumn[2]) {
        ResponseRequest entity{"#$Entity", {"Value"}};
        for (int k = 0; k < 3; ++k) {
          if (entityColumn[k]) entity.columns.push_back(kKinds[k].entityColumn);
        }
        requests.push_back(entity);
      }
    } else if (mode == kKeyMode) {
      for (int k = 0; k < 3; ++k) {
        if (fixedByKey[k]) {
          requests.push_back(ResponseRequest{kKinds[k].keyRequest, {kKinds[k].keyColumn}});
        }
      }
      const PortalItem* reference = child(item, "#$Reference");
      if (reference && hasEntry(*reference, "Time %g") && !hasEntry(*reference, "<None>")) {
        requests.push_back(ResponseRequest{"time", {"_dep:Reference=Time %g", "Time"}});
      }
    }
    return requests.size() > before;
  });
}
