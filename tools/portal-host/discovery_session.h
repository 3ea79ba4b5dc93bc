// A portal for looking at one file, as the host has one while an engineer sets
// an analysis up: the host answers from the file's name and the analysis'
// modules and solver, and collects what the portal says.
#ifndef PORTAL_HOST_DISCOVERY_SESSION_H
#define PORTAL_HOST_DISCOVERY_SESSION_H

#include <string>
#include <vector>

#include "portal_session.h"
#include "study/study_host.h"
#include "user_commands.h"

namespace portalhost {

class DiscoverySession {
 public:
  // `file` is absolute. Throws LibraryError.
  DiscoverySession(const DiscoveryOptions& options, const std::string& file);
  ORLIX::IPortal& portal() { return session_.portal(); }
  StudyHost& host() { return host_; }

 private:
  StudyHost host_;
  PortalSession session_;
};

// The absolute path of an existing file; StudyError naming `what` otherwise.
std::string existingFile(const std::string& path, const char* what);

// The names a tag file's tags carry, in their order (a script tag carries a
// list); StudyError with the portal's words when it cannot read the file.
std::vector<std::string> taggedNames(ORLIX::IPortal& portal, const std::string& tagFile, const std::string& file,
                                     bool isInput);

// params FILE --tags TAGFILE and responses FILE --tags TAGFILE.
int taggedParameters(const DiscoveryOptions& options);
int taggedResponses(const DiscoveryOptions& options);

}  // namespace portalhost

#endif
