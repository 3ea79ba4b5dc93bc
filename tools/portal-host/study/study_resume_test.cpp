// A study survives what happens to it: interrupted at any instant, killed,
// started twice into one folder, resumed with a changed study, or with
// designs that fail once.
#include <chrono>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "study/study_test_fixture.h"

namespace studytest {
namespace {

// Twelve designs whose solver takes a moment and notes every run that ends.
Json slowToy(const std::string& runsLog) {
  Json json = toyStudy();
  json["solver"]["command"][2] = "sleep 0.3; " + json["solver"]["command"][2].get<std::string>() +
                                 "; echo {design} >> " + runsLog;
  json["designs"] = Json::parse(R"({"grid": {"E": [1, 2, 3, 4, 5, 6], "h": [7, 8]}})");
  return json;
}

class ResumeTest : public StudyTest {
 protected:
  std::map<std::uint64_t, int> finishedCounts() const {
    std::map<std::uint64_t, int> counts;
    for (const Json& line : journal()) {
      if (line.value("status", "") != "submitted") ++counts[line["design"].get<std::uint64_t>()];
    }
    return counts;
  }
  std::vector<std::uint64_t> runs() const {
    std::vector<std::uint64_t> numbers;
    std::istringstream in(read("runs.log"));
    for (std::uint64_t n; in >> n;) numbers.push_back(n);
    return numbers;
  }
};

TEST_F(ResumeTest, InterruptedAtRandomInstantsItLosesNothingAndRunsNothingTwice) {
  write("study.json", slowToy(path("runs.log")).dump());
  std::mt19937 random(20261207);
  bool first = true;
  int cut = 0;  // rounds that stopped a study before its end
  for (int round = 0; round < 20 && finishedCounts().size() < 12; ++round) {
    const std::set<std::uint64_t> before = [&] {
      std::set<std::uint64_t> done;
      for (const auto& [design, count] : finishedCounts()) done.insert(design);
      return done;
    }();
    const std::size_t runsBefore = runs().size();
    const pid_t study = startStudy(first ? std::vector<std::string>{"--jobs", "2"}
                                         : std::vector<std::string>{"--jobs", "2", "--resume"});
    first = false;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(50, 700)(random)));
    // Most rounds are a Ctrl-C to the whole terminal group; some kill the host outright.
    const bool kill = round % 4 == 3;
    if (kill) {
      ::kill(study, SIGKILL);
    } else {
      ::kill(-study, SIGINT);
    }
    const int status = finish(study);
    cut += status != 0 ? 1 : 0;
    EXPECT_TRUE(status == 0 || status == (kill ? 128 + SIGKILL : 130)) << "round " << round << ": " << status;
    for (const auto& [design, count] : finishedCounts()) EXPECT_EQ(count, 1) << "design " << design;
    const std::vector<std::uint64_t> all = runs();
    for (std::size_t i = runsBefore; i < all.size(); ++i) {
      EXPECT_FALSE(before.count(all[i])) << "round " << round << " ran finished design " << all[i] << " again";
    }
  }
  EXPECT_GE(cut, 4);
  const HostRun last = portalHost("study study.json --out " + out() + " --resume --jobs 2");
  EXPECT_EQ(last.status, 0) << last.out << last.err;
  EXPECT_EQ(finishedCounts().size(), 12u);
  for (const auto& [design, count] : finishedCounts()) EXPECT_EQ(count, 1) << "design " << design;
  EXPECT_EQ(csv().size(), 13u);
}

TEST_F(ResumeTest, AnInterruptedStudySaysHowToGoOn) {
  write("study.json", slowToy(path("runs.log")).dump());
  const pid_t study = startStudy({"--jobs", "1"});
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  ::kill(-study, SIGINT);
  EXPECT_EQ(finish(study), 130);
  const std::string said = read("background.txt");
  EXPECT_NE(said.find("not run; go on with:"), std::string::npos) << said;
  EXPECT_NE(said.find("--resume --out " + out()), std::string::npos) << said;
  EXPECT_TRUE(fs::exists(path("out/results.csv")));
  EXPECT_TRUE(fs::exists(path("out/report.html")));
}

TEST_F(ResumeTest, ASecondStudyIntoTheSameFolderIsRefusedAtOnce) {
  Json json = slowToy(path("runs.log"));
  json["solver"]["command"][2] = "sleep 5";
  write("study.json", json.dump());
  const pid_t first = startStudy({"--jobs", "1"});
  for (int i = 0; i < 100 && !fs::exists(path("out/design_0001/solver.out")); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const auto start = std::chrono::steady_clock::now();
  const HostRun second = portalHost("study study.json --out " + out() + " --resume");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_EQ(second.status, 4) << second.err;
  EXPECT_NE(second.err.find("is in use by the study " + path("study.json") + " (process " + std::to_string(first)),
            std::string::npos)
      << second.err;
  ::kill(-first, SIGINT);
  finish(first);
}

TEST_F(ResumeTest, ResumingAChangedStudyIsRefusedNamingTheChange) {
  const HostRun run = study(toyStudy());
  ASSERT_EQ(run.status, 0) << run.err;
  write("model.txt", "# toy model\nE 1\nh 3\n");
  const HostRun changedFile = study(toyStudy(), "--resume");
  EXPECT_EQ(changedFile.status, 2);
  EXPECT_NE(changedFile.err.find("the study has changed since the run in " + out() + ":\n  model.txt\n"),
            std::string::npos)
      << changedFile.err;
  write("model.txt", "# toy model\nE 1\nh 2\n");
  Json moreDesigns = toyStudy();
  moreDesigns["designs"]["grid"]["h"] = Json::parse("[5, 6]");
  const HostRun changedDesigns = study(moreDesigns, "--resume");
  EXPECT_EQ(changedDesigns.status, 2);
  EXPECT_NE(changedDesigns.err.find("  the designs (parameters, responses or levels)"), std::string::npos)
      << changedDesigns.err;
  EXPECT_EQ(study(toyStudy(), "--resume").status, 0);
}

TEST_F(ResumeTest, ARetriedDesignKeepsWhatEachAttemptSaid) {
  Json json = toyStudy();
  // Each design fails its first attempt and succeeds on the second.
  json["solver"]["command"][2] = "t={folder}/../../tries-{design}; if [ ! -e $t ]; then touch $t; exit 5; fi; " +
                                 json["solver"]["command"][2].get<std::string>();
  const HostRun run = study(json, "--retries 1");
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  const Json first = design(1);
  EXPECT_EQ(first["status"], "ok");
  EXPECT_EQ(first["attempts"], 2);
  EXPECT_EQ(first["earlierAttempts"][0], "attempt 1 failed at solve: sh exited with status 5 (see solver.out)");
  const HostRun without = study(json, "--force");
  EXPECT_EQ(without.status, 0) << "the tries of the first run are still there";
}

}  // namespace
}  // namespace studytest
