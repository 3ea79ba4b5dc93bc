// The commands an engineer runs directly: a study of many designs, and a look
// at the parameters a deck offers or the responses a results file offers.
#ifndef PORTAL_HOST_USER_COMMANDS_H
#define PORTAL_HOST_USER_COMMANDS_H

#include <string>
#include <vector>

namespace portalhost {

// Each takes the arguments after its own name and returns the exit status.
int studyCommand(const std::vector<std::string>& arguments);
int paramsCommand(const std::vector<std::string>& arguments);
int responsesCommand(const std::vector<std::string>& arguments);

// Programs shipped beside portal-host (the solver and its results module) are
// found before any others of the same name.
void putOwnFolderFirstOnPath();

}  // namespace portalhost

#endif
