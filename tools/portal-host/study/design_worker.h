// A worker process's whole life: its own portal and launcher, then designs as
// the parent hands them over, each run (and retried) to its end and sent
// back, until the parent says stop, goes away, or the study is interrupted.
#ifndef PORTAL_HOST_STUDY_DESIGN_WORKER_H
#define PORTAL_HOST_STUDY_DESIGN_WORKER_H

#include <sys/types.h>

#include "study/study_model.h"
#include "study/tag_setup.h"
#include "study/worker_pool.h"

namespace portalhost {

// Never returns: the process exits with 0, or 3 when the portal cannot be made.
// `parent` is the parent's process id, taken before the fork.
[[noreturn]] void workerMain(const Study& study, const StudyTags& tags, const PoolSettings& settings,
                             int commands, int results, pid_t parent);

}  // namespace portalhost

#endif
