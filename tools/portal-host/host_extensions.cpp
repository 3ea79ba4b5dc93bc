#include "host_extensions.h"

namespace portalhost {

ORLIX::StringList HostProperties::keys() const {
  ORLIX::StringList keys;
  for (const auto& entry : values_) keys.push_back(entry.first);
  return keys;
}

void HostProperties::merge(const ORLIX::IProperties& other) {
  for (const auto& key : other.keys()) values_.set(key, other.valueOf(key));
}

}  // namespace portalhost
