#include "program_run.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace portalhost {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class ScratchFolder {
 public:
  ScratchFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/program-run-XXXXXX";
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

ProgramResult shell(const std::string& script, double timeout = 10) {
  ProgramRun run;
  run.command = {"sh", "-c", script};
  run.timeoutSeconds = timeout;
  return runProgramCaptured(run);
}

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// A process that is gone, or only waits to be reaped by whoever adopted it.
bool isGone(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(stat, text)) return true;
  const auto close = text.rfind(')');
  return close != std::string::npos && close + 2 < text.size() &&
         (text[close + 2] == 'Z' || text[close + 2] == 'X');
}

bool goesAwaySoon(int pid) {
  const auto stop = Clock::now() + std::chrono::seconds(3);
  while (Clock::now() < stop) {
    if (isGone(pid)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

int pidIn(const std::string& file) {
  std::ifstream in(file);
  int pid = 0;
  in >> pid;
  return pid;
}

TEST(ProgramRun, ReportsTheExitStatusAndBothStreamsInTheirOrder) {
  const ProgramResult result = shell("echo out; echo err >&2; echo again; exit 3");
  EXPECT_EQ(3, result.exitCode);
  EXPECT_EQ("out\nerr\nagain\n", result.output);
  EXPECT_EQ("", result.problem);

  EXPECT_EQ(0, shell("true").exitCode);
  // A signal that ends the program reads as a shell would show it.
  EXPECT_EQ(128 + SIGKILL, shell("kill -KILL $$").exitCode);
}

TEST(ProgramRun, GivesTheProgramNoInputAndStartsItInTheFolder) {
  ScratchFolder folder;
  ProgramRun run;
  run.command = {"sh", "-c", "cat; pwd"};
  run.folder = folder.path();
  const ProgramResult result = runProgramCaptured(run);
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ(fs::canonical(folder.path()).string() + "\n", result.output);
}

TEST(ProgramRun, KeepsOnlyTheLastCharactersOfTheOutput) {
  const ProgramResult big = shell("head -c 100000 /dev/zero | tr '\\0' x; printf END");
  EXPECT_EQ(0, big.exitCode);
  ASSERT_EQ(4000u, big.output.size());
  EXPECT_EQ("xxEND", big.output.substr(3995));

  ProgramRun run;
  run.command = {"printf", "0123456789abcdef"};
  run.outputLimit = 10;
  EXPECT_EQ("6789abcdef", runProgramCaptured(run).output);

  // Characters, not bytes: a multi-byte character is never cut.
  EXPECT_EQ("\xC3\xA9\xE2\x82\xAC", lastCharacters("a\xC3\xA9\xE2\x82\xAC", 2));
  EXPECT_EQ("ab", lastCharacters("ab", 4000));
  EXPECT_EQ("", lastCharacters("ab", 0));
}

TEST(ProgramRun, ATimeoutStopsTheWholeGroupAndGivesMinusOne) {
  ScratchFolder folder;
  ProgramRun run;
  run.command = {"sh", "-c", "echo begun; sleep 30 & echo $! > helper.pid; sleep 30"};
  run.folder = folder.path();
  run.timeoutSeconds = 0.3;
  const auto start = Clock::now();
  const ProgramResult result = runProgramCaptured(run);
  EXPECT_LT(secondsSince(start), 5);
  EXPECT_EQ(-1, result.exitCode);
  EXPECT_EQ("begun\n", result.output);
  EXPECT_NE(std::string::npos, result.problem.find("stopped after 0.3"));
  const int helper = pidIn(folder.path() + "/helper.pid");
  ASSERT_GT(helper, 0);
  EXPECT_TRUE(goesAwaySoon(helper));
}

TEST(ProgramRun, AProgramThatIgnoresSigtermIsKilledAfterTheGrace) {
  ProgramRun run;
  run.command = {"sh", "-c", "trap '' TERM; sleep 30"};
  run.timeoutSeconds = 0.2;
  run.graceSeconds = 0.2;
  const auto start = Clock::now();
  EXPECT_EQ(-1, runProgramCaptured(run).exitCode);
  EXPECT_LT(secondsSince(start), 5);
}

TEST(ProgramRun, AProgramThatCannotStartGivesMinusOne) {
  ProgramRun missing;
  missing.command = {"portal-run-test-no-such-program"};
  const ProgramResult result = runProgramCaptured(missing);
  EXPECT_EQ(-1, result.exitCode);
  EXPECT_EQ("", result.output);
  EXPECT_NE(std::string::npos, result.problem.find("cannot start: portal-run-test-no-such-program: not found on PATH"));

  ProgramRun nowhere;
  nowhere.command = {"true"};
  nowhere.folder = "/portal-run-test/no/such/folder";
  EXPECT_EQ(-1, runProgramCaptured(nowhere).exitCode);

  EXPECT_EQ(-1, runProgramCaptured(ProgramRun{}).exitCode);
}

TEST(ProgramRun, PassesTheVariablesToTheProgramOnly) {
  ASSERT_EQ(nullptr, std::getenv("PORTAL_RUN_TEST"));
  ::setenv("PORTAL_RUN_REPLACED", "ours", 1);
  ProgramRun run;
  run.command = {"sh", "-c", "printf '%s|%s' \"$PORTAL_RUN_TEST\" \"$PORTAL_RUN_REPLACED\""};
  run.env = {{"PORTAL_RUN_TEST", "a value, with blanks"}, {"PORTAL_RUN_REPLACED", "theirs"}};
  EXPECT_EQ("a value, with blanks|theirs", runProgramCaptured(run).output);
  EXPECT_EQ(nullptr, std::getenv("PORTAL_RUN_TEST"));
  EXPECT_STREQ("ours", std::getenv("PORTAL_RUN_REPLACED"));
  ::unsetenv("PORTAL_RUN_REPLACED");
}

TEST(ProgramRun, SearchesTheProgramOnThePathItIsGiven) {
  ScratchFolder folder;
  const std::string program = folder.path() + "/only-here";
  std::ofstream(program) << "#!/bin/sh\necho found\n";
  ASSERT_EQ(0, ::chmod(program.c_str(), 0755));
  ProgramRun run;
  run.command = {"only-here"};
  run.env = {{"PATH", folder.path() + ":/usr/bin:/bin"}};
  const ProgramResult result = runProgramCaptured(run);
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ("found\n", result.output);
}

TEST(ProgramRun, AHelperLeftHoldingTheOutputDoesNotHoldTheStep) {
  ScratchFolder folder;
  ProgramRun run;
  run.command = {"sh", "-c", "sleep 30 & echo $! > helper.pid; echo started"};
  run.folder = folder.path();
  const auto start = Clock::now();
  const ProgramResult result = runProgramCaptured(run);
  EXPECT_LT(secondsSince(start), 5);
  EXPECT_EQ(0, result.exitCode);
  EXPECT_EQ("started\n", result.output);
  // It does not outlive the step either.
  const int helper = pidIn(folder.path() + "/helper.pid");
  ASSERT_GT(helper, 0);
  EXPECT_TRUE(goesAwaySoon(helper));
}

}  // namespace
}  // namespace portalhost
