// The texts of a Slurm batch job: the script that runs a design's solver, the
// sbatch command line, and what sbatch and scontrol answer.
#ifndef PORTAL_HOST_STUDY_SLURM_JOB_H
#define PORTAL_HOST_STUDY_SLURM_JOB_H

#include <string>
#include <vector>

#include "study/launcher.h"

namespace portalhost {

// `word` as one word for sh, whatever it holds: values never reach the shell
// as code.
std::string shellQuoted(const std::string& word);

// The batch script: into the design folder, the environment, and the
// solver with its output to the job's output file.
std::string batchScript(const SolverJob& job);

// sbatch's own arguments before the script: parsable output, the job's name,
// folder and Slurm log, a time limit a minute above the timeout, then the
// study's options.
std::vector<std::string> sbatchArguments(const SolverJob& job, const std::vector<std::string>& options,
                                         const std::string& script);

// "12" from sbatch --parsable's "12" or "12;cluster"; empty when there is none.
std::string jobIdFrom(const std::string& sbatchOutput);

struct SlurmJobState {
  bool known = false;  // scontrol still knows the job
  std::string state;   // PENDING, RUNNING, COMPLETED, FAILED, CANCELLED, TIMEOUT, NODE_FAIL, ...
  std::string reason;
  int exitCode = 0;
  int signal = 0;
  bool waiting() const;  // not yet ended
};

// One `scontrol show job -o ID` line.
SlurmJobState parseJobState(const std::string& line);

}  // namespace portalhost

#endif
