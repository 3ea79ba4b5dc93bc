// IPortal: everything the host asks of a portal, at set-up time and per design.
// The operations keep the host's table order; the inline bodies are the defaults
// a portal inherits unless it overrides them.
#ifndef ORLIX_PORTAL_HOST_PORTAL_H
#define ORLIX_PORTAL_HOST_PORTAL_H

#include <list>

#include "portal/host/extension.h"
#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {
// The tag record crosses the boundary inside TagList; its definition lives with
// the tag layer (xmlportal/tag_data.h), which a host includes to build tags.
struct TagData;
using TagList = std::list<TagData>;
}  // namespace Portals

class IPortal : public IExtension {
 public:
  virtual bool parseInputFile(const String& inputPath, const StringStringMap& analysisProps,
                              PortalItemList& items, String& message) = 0;
  virtual bool parseOutputFile(const String& outputPath, const StringStringMap& analysisProps,
                               PortalItemList& items, String& message) = 0;
  virtual bool resolveResponse(const PortalItem& /*item*/, const StringList& /*keyPath*/,
                               int /*mode*/, ResponseRequestList& /*requests*/) {
    return false;
  }
  virtual bool writeInputTagData(const String& fileName, Portals::TagList& tags,
                                 const StringStringMap& analysisProps, StringStringMap& outData,
                                 String& message) = 0;
  virtual bool writeOutputTagData(const String& fileName, Portals::TagList& tags,
                                  const StringStringMap& analysisProps,
                                  StringStringMap& outData, String& message) = 0;
  virtual int readInputTagData(const String& /*tagFilePath*/,
                               const StringStringMap& /*analysisProps*/,
                               Portals::TagList& /*tags*/, StringStringMap& /*outData*/,
                               String& /*message*/) {
    return -1;
  }
  virtual int readOutputTagData(const String& /*tagFilePath*/,
                                const StringStringMap& /*analysisProps*/,
                                Portals::TagList& /*tags*/, StringStringMap& /*outData*/,
                                String& /*message*/) {
    return -1;
  }
  virtual bool reservedCall1(String& /*text*/) { return true; }
  virtual int batchMode(const StringStringMap& /*analysisProps*/) { return 0; }
  virtual void resetRunState() {}
  virtual bool updateInputFiles(const StringStringMap& /*analysisProps*/,
                                const HostValues* /*values*/, String& /*message*/) {
    return true;
  }
  virtual bool reservedCall2() { return false; }
  virtual bool check(const String& /*kind*/, const StringStringMap& /*analysisProps*/,
                     bool& /*result*/, String& /*message*/) {
    return false;
  }
  virtual bool processOutputFiles(const StringStringMap& /*analysisProps*/,
                                  HostResponses* /*responses*/, String& /*message*/) {
    return true;
  }
  virtual void notifyEngines(const String& /*event*/, const StringStringMap& /*data*/) {}
  virtual bool reservedCall3() { return false; }
  virtual bool reservedCall4() { return false; }
  virtual bool handleEvent(const String& /*event*/, const StringStringMap& /*eventData*/,
                           StringStringMap& /*reply*/) {
    return false;
  }
  virtual bool reservedCall5() { return false; }
  virtual bool reservedCall6() { return false; }
};

class IPortalHost;

// The library's single exported entry point.
using PortalFactoryFunction = IExtension* (*)(IPortalHost* host, String portalName,
                                              IProperties* creationProperties);

}  // namespace ORLIX

extern "C" ORLIX::IExtension* portalFactory(ORLIX::IPortalHost* host, ORLIX::String portalName,
                                            ORLIX::IProperties* creationProperties);

#endif
