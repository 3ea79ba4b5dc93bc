// Running a study's designs in parallel worker processes, each with its own
// portal object, as a host farms designs out; the results come back over pipes.
#ifndef PORTAL_HOST_STUDY_WORKERS_H
#define PORTAL_HOST_STUDY_WORKERS_H

#include <functional>
#include <string>
#include <vector>

#include "design_run.h"

namespace portalhost {

// Called in the parent as each design's result arrives.
using DesignDone = std::function<void(const DesignResult&)>;

// Runs every design of `study` in `jobs` worker processes; each loads the
// portal library at `portalPath` and makes its own portal. Returns the results
// in design order.
std::vector<DesignResult> runDesignsInWorkers(const Study& study, const StudyLayout& layout,
                                              const std::string& portalPath, int jobs,
                                              const DesignDone& done);

}  // namespace portalhost

#endif
