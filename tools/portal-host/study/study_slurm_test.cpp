// Studies through a real Slurm cluster: the one the test command brings up on
// this machine (scripts/slurm-up.sh), named by SLURM_CONF. Without it these
// tests are skipped; the test command always provides it.
#include <chrono>
#include <cstdlib>
#include <set>
#include <thread>

#include "study/study_test_fixture.h"

namespace studytest {
namespace {

class SlurmTest : public StudyTest {
 protected:
  void SetUp() override {
    StudyTest::SetUp();
    const char* conf = std::getenv("SLURM_CONF");
    if (conf == nullptr || *conf == '\0') GTEST_SKIP() << "no Slurm cluster (SLURM_CONF is not set)";
  }
  std::vector<std::string> jobIds() const {
    std::vector<std::string> ids;
    for (const Json& line : journal()) {
      if (line.value("status", "") == "submitted") ids.push_back(line["jobId"].get<std::string>());
    }
    return ids;
  }
};

TEST_F(SlurmTest, AStudyThroughSlurmGivesWhatItGivesLocally) {
  Json json = toyStudy();
  json["designs"]["grid"]["h"] = Json::parse("[5, 6, 7]");
  ASSERT_EQ(study(json, "--jobs 2").status, 0);
  const auto local = csv();
  const HostRun run = study(json, "--jobs 2 --launcher slurm --force");
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(csv(), local);
  EXPECT_EQ(jobIds().size(), 6u);
  for (std::uint64_t number = 1; number <= 6; ++number) {
    const Json line = design(number);
    EXPECT_FALSE(line.value("jobId", "").empty()) << number;
    EXPECT_TRUE(fs::exists(path("out/" + std::string("design_000") + std::to_string(number) + "/slurm-job.sh")));
  }
}

TEST_F(SlurmTest, ARefusedSubmissionFailsInSlurmsWordsAndIsRetried) {
  Json json = toyStudy();
  json["slurm"] = Json::parse(R"({"options": ["--partition=no-such-partition"]})");
  const HostRun run = study(json, "--launcher=slurm --retries 1");
  EXPECT_EQ(run.status, 1) << run.err;
  const Json first = design(1);
  EXPECT_EQ(first["stage"], "solve");
  EXPECT_EQ(first["attempts"], 2);
  const std::string message = first["messages"][0].get<std::string>();
  EXPECT_EQ(message.rfind("sbatch refused the job: sbatch: error: ", 0), 0u) << message;
  EXPECT_NE(message.find("artition"), std::string::npos) << message;
}

TEST_F(SlurmTest, AJobPastTheTimeoutIsCancelled) {
  Json json = toyStudy();
  json["solver"]["command"][2] = "sleep 60";
  json["solver"]["timeout"] = 1;
  json["designs"]["grid"]["E"] = Json::parse("[2]");
  const HostRun run = study(json, "--launcher slurm");
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(design(1)["messages"][0].get<std::string>().rfind("sh (Slurm job ", 0), 0u);
  EXPECT_NE(design(1)["messages"][0].get<std::string>().find(") was cancelled after the timeout"), std::string::npos);
}

TEST_F(SlurmTest, AResumedStudyWaitsForTheJobsTheKilledOneLeft) {
  Json json = toyStudy();
  json["solver"]["command"][2] = "sleep 3; " + json["solver"]["command"][2].get<std::string>();
  write("study.json", json.dump());
  const pid_t first = startStudy({"--jobs", "2", "--launcher", "slurm"});
  for (int i = 0; i < 200 && jobIds().size() < 2; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const std::vector<std::string> submitted = jobIds();
  ASSERT_EQ(submitted.size(), 2u) << read("background.txt");
  ::kill(first, SIGKILL);
  finish(first);
  const HostRun resumed = portalHost("study study.json --out " + out() + " --resume --launcher slurm --jobs 2");
  EXPECT_EQ(resumed.status, 0) << resumed.out << resumed.err;
  EXPECT_EQ(jobIds().size(), 2u) << "a job the killed study left was submitted again";
  std::set<std::string> used;
  for (std::uint64_t number = 1; number <= 2; ++number) used.insert(design(number)["jobId"].get<std::string>());
  EXPECT_EQ(used, std::set<std::string>(submitted.begin(), submitted.end()));
}

}  // namespace
}  // namespace studytest
