// The passive objects the host hands across the boundary: a property bag, a
// foreign extension that is not the "Portal" service, and what every "Portal"
// service of ours says about itself.
#ifndef PORTAL_HOST_HOST_EXTENSIONS_H
#define PORTAL_HOST_HOST_EXTENSIONS_H

#include <utility>

#include "portal/host/extension.h"
#include "portal/host/portal_host.h"

namespace portalhost {

// A plain property bag, used as the creation properties and as the bag of the
// host's own extensions.
class HostProperties : public ORLIX::IProperties {
 public:
  ORLIX::StringList keys() const override;
  ORLIX::String valueOf(const ORLIX::String& key) const override { return values_[key]; }
  ORLIX::String labelOf(const ORLIX::String& key) const override { return key; }
  void setValue(const ORLIX::String& key, const ORLIX::String& value) override { values_.set(key, value); }
  void remove(const ORLIX::String& key) override { values_.erase(key); }
  void clear() override { values_.clear(); }
  void merge(const ORLIX::IProperties& other) override;

 private:
  ORLIX::StringStringMap values_;
};

// What extension("Portal") answers when the scenario says service "other": a
// real extension whose type the portal must refuse.
class OtherExtension : public ORLIX::IExtension {
 public:
  ORLIX::String type() const override { return "Other"; }
  ORLIX::String name() const override { return "Other"; }
  ORLIX::IProperties& properties() override { return properties_; }
  void* getInterface(int /*id*/) override { return nullptr; }

 private:
  HostProperties properties_;
};

// The "Portal" service's own side: its type (which the portal checks), its
// name, a property bag and no further interfaces. Each host derives from it and
// answers the portal's calls.
class HostService : public ORLIX::IPortalService {
 public:
  explicit HostService(ORLIX::String name) : name_(std::move(name)) {}

  ORLIX::String type() const override { return "Portal"; }
  ORLIX::String name() const override { return name_; }
  ORLIX::IProperties& properties() override { return properties_; }
  void* getInterface(int /*id*/) override { return nullptr; }

 private:
  ORLIX::String name_;
  HostProperties properties_;
};

}  // namespace portalhost

#endif
