// The host objects a portal calls back: the host itself and its "Portal" service.
#ifndef ORLIX_PORTAL_HOST_PORTAL_HOST_H
#define ORLIX_PORTAL_HOST_PORTAL_HOST_H

#include "portal/host/extension.h"
#include "portal/host/host_types.h"

namespace ORLIX {

// The levels of IPortalHost::message. The host takes a level as its plain
// number, so the interface keeps an int; the portal names them through this type.
enum class MessageLevel : int { Error = 2, Warning = 4, Note = 8, Output = 16 };

class IPortalHost {
 public:
  // Delivers a message; `level` is a MessageLevel's number.
  virtual void message(const String& text, const String& analysisName, int evalId,
                       int level) = 0;
  // Runs `program` in `workingFolder` and waits for it; false when the run failed.
  // With an empty program and the option "sub", the host instead makes a folder
  // for the portal and returns its path in `workingFolder`.
  virtual bool runCommand(const String& program, const StringList& arguments,
                          String& workingFolder, const StringStringMap& options) = 0;
  virtual String setting(const String& key, const String& defaultValue) = 0;
  virtual IExtension* extension(const String& type) = 0;
  virtual ~IPortalHost() = default;
};

// Obtained as host->extension("Portal"); accepted only when its type() is "Portal".
class IPortalService : public IExtension {
 public:
  virtual String parameterValue(const String& paramType, const String& paramName,
                                const String& filePath, const String& format,
                                String& message) = 0;
  virtual void analysisProperty(const String& analysisName, const String& propertyKey,
                                StringStringMap& out) = 0;
  virtual void reportResponse(const String& responseName, const StringStringMap& context,
                              const ResponseValues& values) = 0;
};

}  // namespace ORLIX

#endif
