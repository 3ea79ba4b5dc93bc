// A solver that crashes, hangs, writes nothing or says it failed, odd bytes
// and odd numbers: each costs its own design and says why, never the study.
#include <chrono>

#include "study/study_test_fixture.h"

namespace studytest {
namespace {

Json withSolver(const std::string& script) {
  Json json = toyStudy();
  json["solver"]["command"][2] = script;
  return json;
}

std::string firstMessage(const Json& line) { return line["messages"].empty() ? "" : line["messages"][0].get<std::string>(); }

TEST_F(StudyTest, ACrashingSolverFailsItsDesignAtTheSolveStage) {
  const HostRun run = study(withSolver("kill -SEGV $$"));
  EXPECT_EQ(run.status, 1) << run.err;
  const Json first = design(1);
  EXPECT_EQ(first["status"], "failed");
  EXPECT_EQ(first["stage"], "solve");
  EXPECT_EQ(firstMessage(first), "sh was killed by signal 11 (Segmentation fault)");
  EXPECT_NE(run.out.find("design 1 failed at solve: sh was killed by signal 11"), std::string::npos) << run.out;
}

TEST_F(StudyTest, AnExitCodeOutsideTheListFailsTheDesign) {
  Json json = withSolver("exit 3");
  const HostRun run = study(json);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(firstMessage(design(2)), "sh exited with status 3 (see solver.out)");
  EXPECT_EQ(design(2)["exitCode"], 3);
}

TEST_F(StudyTest, ASolverPastItsTimeoutIsStopped) {
  Json json = withSolver("sleep 30");
  json["solver"]["timeout"] = 0.3;
  const auto start = std::chrono::steady_clock::now();
  const HostRun run = study(json, "--jobs 2");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(design(1)["stage"], "solve");
  EXPECT_EQ(firstMessage(design(1)), "sh was stopped after the timeout of 0.3 s");
}

TEST_F(StudyTest, ASolverThatWritesNothingFailsNamingTheFile) {
  const HostRun run = study(withSolver("true"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(design(1)["stage"], "check");
  EXPECT_EQ(firstMessage(design(1)), "out.txt: the solver left no such output file");
}

TEST_F(StudyTest, AFailIfCheckFailsTheDesignWithTheLineFound) {
  Json json = withSolver("echo 'step 1 done'; echo '*ERROR in load: bad set'; echo 'result 1 2' > out.txt");
  json["solver"]["success"] = Json::parse(R"({"failIf": [{"file": "solver.out", "contains": "*ERROR"}]})");
  const HostRun run = study(json);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(design(1)["stage"], "check");
  EXPECT_EQ(firstMessage(design(1)), "solver.out line 2 contains \"*ERROR\": *ERROR in load: bad set");
}

TEST_F(StudyTest, OddNumbersAndBytesStayWithTheirDesign) {
  // A NaN response and a Latin-1 byte in a token and in the solver's output.
  const HostRun run = study(withSolver("printf 'r\\351sultat\\n'; printf 'result nan \\351\\n' > out.txt"));
  EXPECT_TRUE(run.status == 0 || run.status == 1) << run.err;
  ASSERT_EQ(journal().size(), 2u);
  const Json first = design(1);
  EXPECT_EQ(first["responses"]["product"], Json::parse(R"(["nan"])"));
  EXPECT_TRUE(first["errors"].contains("sum"));
  EXPECT_EQ(csv().size(), 3u);
}

TEST_F(StudyTest, AHelperLeftBehindDoesNotHoldTheStudy) {
  const auto start = std::chrono::steady_clock::now();
  const HostRun run = study(withSolver("sleep 60 & echo 'result 1 2' > out.txt"), "--jobs 2");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST_F(StudyTest, ASolverThatIsNotThereStopsTheStudyBeforeItStarts) {
  Json json = toyStudy();
  json["solver"]["command"] = Json::parse(R"(["ccx-not-installed", "-i", "beam"])");
  const HostRun run = study(json);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("solver.command: ccx-not-installed: not found on PATH"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(path("out/design_0001")));
}

TEST_F(StudyTest, AnOutputFolderThatCannotBeMadeIsExitFour) {
  write("plain-file", "x");
  write("study.json", toyStudy().dump());
  const HostRun run = portalHost("study study.json --out " + path("plain-file/out"));
  EXPECT_EQ(run.status, 4) << run.err;
  EXPECT_NE(run.err.find(path("plain-file/out") + ": cannot be made"), std::string::npos) << run.err;
}

TEST_F(StudyTest, AUsedOutputFolderIsRefusedUnlessForced) {
  ASSERT_EQ(study(toyStudy()).status, 0);
  const HostRun again = study(toyStudy());
  EXPECT_EQ(again.status, 2);
  EXPECT_NE(again.err.find("--resume"), std::string::npos) << again.err;
  EXPECT_NE(again.err.find("--force"), std::string::npos) << again.err;
  EXPECT_EQ(study(toyStudy(), "--force").status, 0);
  EXPECT_EQ(journal().size(), 2u);
}

TEST_F(StudyTest, CommandLineNumbersMustReadWhole) {
  write("study.json", toyStudy().dump());
  EXPECT_EQ(portalHost("study study.json --jobs 2x").status, 2);
  EXPECT_EQ(portalHost("study study.json --jobs=0").status, 2);
  EXPECT_EQ(portalHost("study study.json --retries=-1").status, 2);
  EXPECT_EQ(portalHost("--version").status, 0);
}

}  // namespace
}  // namespace studytest
