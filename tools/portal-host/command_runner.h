// Really running a program for the portal (runCommand entries with "execute").
#ifndef PORTAL_HOST_COMMAND_RUNNER_H
#define PORTAL_HOST_COMMAND_RUNNER_H

#include <string>

#include "portal/host/host_types.h"

namespace portalhost {

// Runs `program` (searched on PATH when it has no '/') with `arguments` in
// `folder` (the current folder when empty) and waits for it. True when it
// exited with status 0. Its standard output goes to our standard error, so it
// cannot mix with a transcript written to standard output.
bool runProgram(const std::string& program, const ORLIX::StringList& arguments, const std::string& folder);

}  // namespace portalhost

#endif
