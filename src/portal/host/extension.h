// The two most basic host interfaces: every object handed across the boundary is
// an IExtension, and every extension carries a property bag.
#ifndef ORLIX_PORTAL_HOST_EXTENSION_H
#define ORLIX_PORTAL_HOST_EXTENSION_H

#include "portal/host/host_types.h"

namespace ORLIX {

class IProperties {
 public:
  virtual ~IProperties() = default;
  virtual StringList keys() const = 0;
  virtual String valueOf(const String& key) const = 0;
  virtual String labelOf(const String& key) const = 0;
  // The remaining operations mean what the host says they mean; a portal's own
  // bag is empty and ignores them.
  virtual void setValue(const String& key, const String& value) = 0;
  virtual void remove(const String& key) = 0;
  virtual void clear() = 0;
  virtual void merge(const IProperties& other) = 0;
};

class IExtension {
 public:
  // The host destroys a portal through this destructor.
  virtual ~IExtension() = default;
  virtual String type() const = 0;
  virtual String name() const = 0;
  virtual IProperties& properties() = 0;
  // Id 2 is the IPortal interface; a portal answers null for every other id.
  virtual void* getInterface(int id) = 0;
};

// Interface ids understood by getInterface.
enum InterfaceId { kPortalInterfaceId = 2 };

}  // namespace ORLIX

#endif
