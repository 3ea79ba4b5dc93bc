#include "study/slurm_job.h"

#include <gtest/gtest.h>

namespace portalhost {
namespace {

TEST(SlurmJob, EveryWordReachesTheSolverAsItIs) {
  EXPECT_EQ(shellQuoted("plain"), "'plain'");
  EXPECT_EQ(shellQuoted("it's $HOME `x` \"q\" ; rm -rf /"), "'it'\\''s $HOME `x` \"q\" ; rm -rf /'");
  SolverJob job;
  job.argv = {"ccx", "-i", "beam; echo $(id)"};
  job.folder = "/runs/design 1";
  job.outputFile = "/runs/design 1/solver.out";
  job.env = {{"OMP_NUM_THREADS", "1"}, {"NOTE", "a'b"}};
  EXPECT_EQ(batchScript(job),
            "#!/bin/sh\n# A design's solver run, written by portal-host study.\n"
            "cd '/runs/design 1' || exit 126\n"
            "export OMP_NUM_THREADS='1'\nexport NOTE='a'\\''b'\n"
            "exec 'ccx' '-i' 'beam; echo $(id)' >> '/runs/design 1/solver.out' 2>&1 < /dev/null\n");
}

TEST(SlurmJob, SbatchGetsTheJobsPlaceATimeLimitAndTheStudysOptions) {
  SolverJob job;
  job.folder = "/runs/design_0001";
  job.name = "beam-1";
  job.timeoutSeconds = 90;
  EXPECT_EQ(sbatchArguments(job, {"--partition=short"}, "/runs/design_0001/slurm-job.sh"),
            (std::vector<std::string>{"sbatch", "--parsable", "--job-name=beam-1", "--chdir=/runs/design_0001",
                                      "--output=/runs/design_0001/slurm-%j.out", "--time=3", "--partition=short",
                                      "/runs/design_0001/slurm-job.sh"}));
}

TEST(SlurmJob, TheJobIdIsReadFromSbatchsAnswerOnly) {
  EXPECT_EQ(jobIdFrom("1234\n"), "1234");
  EXPECT_EQ(jobIdFrom("1234;cluster\n"), "1234");
  EXPECT_EQ(jobIdFrom("sbatch: error: invalid partition 2\n"), "");
  EXPECT_EQ(jobIdFrom(""), "");
}

TEST(SlurmJob, ScontrolsLineGivesStateReasonAndExit) {
  const SlurmJobState failed = parseJobState(
      "JobId=12 JobName=beam-1 UserId=root(0) JobState=FAILED Reason=NonZeroExitCode Dependency=(null) "
      "Requeue=1 Restarts=0 BatchFlag=1 Reboot=0 ExitCode=2:0 RunTime=00:00:01\n");
  EXPECT_TRUE(failed.known);
  EXPECT_FALSE(failed.waiting());
  EXPECT_EQ(failed.state, "FAILED");
  EXPECT_EQ(failed.reason, "NonZeroExitCode");
  EXPECT_EQ(failed.exitCode, 2);
  EXPECT_EQ(failed.signal, 0);
  const SlurmJobState killed = parseJobState("JobId=13 JobState=CANCELLED Reason=None ExitCode=0:15");
  EXPECT_EQ(killed.signal, 15);
  EXPECT_TRUE(parseJobState("JobId=14 JobState=PENDING Reason=Resources ExitCode=0:0").waiting());
  EXPECT_FALSE(parseJobState("slurm_load_jobs error: Invalid job id specified").known);
}

}  // namespace
}  // namespace portalhost
