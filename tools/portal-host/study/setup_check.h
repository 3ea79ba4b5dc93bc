// The checks a study passes before it runs (and all that --check does): every
// parameter lands somewhere in the inputs, every response is named by a tag,
// every tag file is one the portal will read, and the solver is there. The
// portal drops a tag file it cannot read without a word, so each of these is
// found here, named, before a night is spent on stale values.
#ifndef PORTAL_HOST_STUDY_SETUP_CHECK_H
#define PORTAL_HOST_STUDY_SETUP_CHECK_H

#include <string>
#include <vector>

#include "portal/host/portal.h"
#include "study/study_host.h"
#include "study/study_model.h"
#include "study/tag_setup.h"

namespace portalhost {

struct SetupReport {
  std::vector<std::string> problems;  // each one line; none: the study may run
  std::vector<std::string> findings;  // where each parameter goes, the solver found, for --check to show
};

// The solver's program as the design folder will see it: found on PATH, or a
// file the study places in the design folder. `extraPath` is searched after
// PATH. A solver that runs elsewhere (a batch job) need not be here: then its
// absence is only noted.
void checkSolverProgram(const Study& study, const std::string& extraPath, bool runsHere, SetupReport& report);

// Reads every tag file through the portal, updates a scratch copy of the
// inputs with the first design's values, then once per parameter with only
// that parameter changed, under `scratchFolder`.
void checkTagging(ORLIX::IPortal& portal, StudyHost& host, const Study& study, const StudyTags& tags,
                  const std::string& scratchFolder, SetupReport& report);

}  // namespace portalhost

#endif
