#include "study/slurm_job.h"

#include <cmath>
#include <cstdlib>

namespace portalhost {
namespace {

// The value of `key=` among the line's blank-separated fields.
std::string field(const std::string& line, const std::string& key) {
  const std::string wanted = key + "=";
  for (std::size_t at = 0; at < line.size();) {
    const std::size_t start = line.find_first_not_of(" \n", at);
    if (start == std::string::npos) break;
    const std::size_t end = std::min(line.find_first_of(" \n", start), line.size());
    if (line.compare(start, wanted.size(), wanted) == 0) return line.substr(start + wanted.size(), end - start - wanted.size());
    at = end;
  }
  return std::string();
}

}  // namespace

std::string shellQuoted(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string batchScript(const SolverJob& job) {
  std::string script = "#!/bin/sh\n# A design's solver run, written by portal-host study.\n";
  script += "cd " + shellQuoted(job.folder) + " || exit 126\n";
  for (const auto& [name, value] : job.env) script += "export " + name + "=" + shellQuoted(value) + "\n";
  script += "exec";
  for (const std::string& word : job.argv) script += " " + shellQuoted(word);
  script += " >> " + shellQuoted(job.outputFile) + " 2>&1 < /dev/null\n";
  return script;
}

std::vector<std::string> sbatchArguments(const SolverJob& job, const std::vector<std::string>& options,
                                         const std::string& script) {
  std::vector<std::string> arguments{"sbatch", "--parsable", "--job-name=" + job.name, "--chdir=" + job.folder,
                                     "--output=" + job.folder + "/slurm-%j.out"};
  if (job.timeoutSeconds > 0) {
    // Slurm counts in minutes; the host stops the job at the timeout itself.
    arguments.push_back("--time=" + std::to_string(static_cast<long long>(std::ceil(job.timeoutSeconds / 60)) + 1));
  }
  arguments.insert(arguments.end(), options.begin(), options.end());
  arguments.push_back(script);
  return arguments;
}

std::string jobIdFrom(const std::string& sbatchOutput) {
  const std::string line = sbatchOutput.substr(0, sbatchOutput.find('\n'));
  const std::size_t end = line.find_first_not_of("0123456789");
  const std::string id = line.substr(0, end);
  // The id leads the line, alone or before ";cluster".
  return end == std::string::npos || line[end] == ';' || line[end] == '\r' ? id : std::string();
}

bool SlurmJobState::waiting() const {
  return state == "PENDING" || state == "CONFIGURING" || state == "RUNNING" || state == "COMPLETING" ||
         state == "SUSPENDED" || state == "REQUEUED" || state == "RESIZING" || state == "STAGE_OUT" ||
         state == "SIGNALING";
}

SlurmJobState parseJobState(const std::string& line) {
  SlurmJobState job;
  job.state = field(line, "JobState");
  job.known = !job.state.empty();
  job.reason = field(line, "Reason");
  const std::string exit = field(line, "ExitCode");
  const std::size_t colon = exit.find(':');
  if (!exit.empty()) {
    job.exitCode = std::atoi(exit.substr(0, colon).c_str());
    if (colon != std::string::npos) job.signal = std::atoi(exit.substr(colon + 1).c_str());
  }
  return job;
}

}  // namespace portalhost
