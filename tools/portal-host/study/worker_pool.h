// Running designs in worker processes, each with its own portal, as a host
// farms designs out. Designs are handed out one at a time from a queue as
// workers come free; every finished design comes back to the parent, the one
// writer of the study's records.
#ifndef PORTAL_HOST_STUDY_WORKER_POOL_H
#define PORTAL_HOST_STUDY_WORKER_POOL_H

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "study/design_record.h"
#include "study/study_model.h"
#include "study/tag_setup.h"

namespace portalhost {

struct PoolSettings {
  std::string portalPath;
  std::string launcher = "local";         // "local" or "slurm"
  std::vector<std::string> slurmOptions;  // extra sbatch options
  std::string outFolder;
  std::string workFolder;  // where the portal's host-made folders go
  int jobs = 1;
  int retries = 0;          // further attempts of a failed design
  double pollSeconds = 10;  // the finish check's interval
};

struct QueuedDesign {
  std::uint64_t number = 0;  // from 1
  std::string attachJob;     // a batch job an earlier run started for it, to wait for
};
// The next design to run, or nothing when the queue is empty.
using DesignQueue = std::function<std::optional<QueuedDesign>()>;
// Called in the parent for every finished design, in the order they finish.
using RecordSink = std::function<void(const DesignRecord&)>;
// Called in the parent when a design's solver became batch job `jobId`.
using SubmitSink = std::function<void(std::uint64_t number, const std::string& jobId)>;

struct PoolOutcome {
  bool interrupted = false;  // SIGINT or SIGTERM arrived
  std::uint64_t unfinished = 0;  // designs started but stopped by the interruption
};

// Runs the queue's designs until it is empty or the study is interrupted.
// Throws LibraryError when the portal cannot be made in a worker.
PoolOutcome runDesignPool(const Study& study, const StudyTags& tags, const PoolSettings& settings,
                          const DesignQueue& queue, const RecordSink& sink, const SubmitSink& submitted);

}  // namespace portalhost

#endif
