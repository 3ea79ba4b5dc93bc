// One design, as the host drives it: a fresh folder with the study's files,
// the portal's update, the solver run with the finish check polled, the
// success checks, and the portal's extraction of the responses. The first
// stage that fails ends the design and its reason leads the messages.
#ifndef PORTAL_HOST_STUDY_DESIGN_RUN_H
#define PORTAL_HOST_STUDY_DESIGN_RUN_H

#include <cstdint>
#include <functional>
#include <string>

#include "portal/host/portal.h"
#include "study/design_record.h"
#include "study/launcher.h"
#include "study/study_host.h"
#include "study/study_model.h"
#include "study/tag_setup.h"

namespace portalhost {

struct DesignContext {
  const Study& study;
  const StudyTags& tags;
  std::string outFolder;
  double pollSeconds = 10;  // how often the finish check is asked while the solver runs
  Launcher& launcher;
  int wakeFd = -1;  // readable when the study is interrupted
};

// "design_0001" for design 1.
std::string designFolderName(std::uint64_t number);

// The errors and warnings of a portal's message buffer, one per message; a
// line that starts no message continues the one before it. Notes are left out.
void addPortalProblems(std::vector<std::string>& into, const std::string& buffer);

// Runs design `number` (from 1). With `attachJob`, a batch job an earlier run
// of the study started for it is waited for instead, when the launcher still
// knows it. `interrupted` is set when the study was interrupted while it ran:
// such a design did not finish and is not a result. `started` hears of the
// solver's process group or job as soon as it exists.
DesignRecord runDesign(ORLIX::IPortal& portal, StudyHost& host, const DesignContext& context,
                       std::uint64_t number, const std::string& attachJob,
                       const std::function<void(const std::string&)>& started, bool& interrupted);

}  // namespace portalhost

#endif
