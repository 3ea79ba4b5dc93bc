#include "process_group.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

namespace portalhost {
namespace {

namespace fs = std::filesystem;

class ProcessGroupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(::testing::TempDir()) / ("process-group-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  std::string read(const std::string& name) const {
    std::ifstream in(path(name));
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  LaunchRequest shell(const std::string& script, int outputFd = -1) const {
    return LaunchRequest{{"sh", "-c", script}, folder_.string(), {}, outputFd};
  }
  // A killed process whose parent is gone may linger as a zombie until it is reaped.
  static bool alive(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
  }
  pid_t pidIn(const std::string& name) const { return static_cast<pid_t>(std::stol(read(name))); }

  fs::path folder_;
};

TEST_F(ProcessGroupTest, FindsProgramsOnThePathAndSaysWhyNot) {
  std::string why;
  EXPECT_FALSE(findProgram("sh", "/usr/bin:/bin", "", why).empty());
  EXPECT_TRUE(findProgram("no-such-solver", "/usr/bin:/bin", "", why).empty());
  EXPECT_EQ(why, "no-such-solver: not found on PATH");

  std::ofstream(path("run.sh")) << "#!/bin/sh\nexit 0\n";
  EXPECT_TRUE(findProgram("run.sh", folder_.string(), "", why).empty());
  EXPECT_EQ(why, "run.sh: found on PATH but not executable (Permission denied)");
  EXPECT_TRUE(findProgram("./run.sh", "", folder_.string(), why).empty());
  EXPECT_EQ(why, "./run.sh: Permission denied");
  fs::permissions(path("run.sh"), fs::perms::owner_all);
  EXPECT_EQ(findProgram("./run.sh", "", folder_.string(), why), path("run.sh"));
}

TEST_F(ProcessGroupTest, RunsInItsFolderWithTheAddedEnvironment) {
  const int out = ::open(path("out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  LaunchRequest request = shell("pwd; echo \"$STUDY_VALUE\"; echo oops >&2; exit 3", out);
  request.env = {{"STUDY_VALUE", "42"}};
  ProcessGroup run(request);
  ::close(out);
  ASSERT_TRUE(run.started()) << run.error();
  EXPECT_EQ(run.waitFor(10), ProcessGroup::Wait::Exited);
  run.stop();
  EXPECT_EQ(run.exitCode(), 3);
  EXPECT_EQ(run.describeExit(), "exited with status 3");
  EXPECT_EQ(read("out.txt"), folder_.string() + "\n42\noops\n");
}

TEST_F(ProcessGroupTest, AProgramThatCannotStartSaysWhyInWords) {
  ProcessGroup missing(LaunchRequest{{"ccx-that-is-not-there"}, folder_.string(), {}, -1});
  EXPECT_FALSE(missing.started());
  EXPECT_EQ(missing.error(), "ccx-that-is-not-there: not found on PATH");
  fs::create_directories(folder_ / "sub");
  ProcessGroup folderProgram(LaunchRequest{{"./sub"}, folder_.string(), {}, -1});
  EXPECT_FALSE(folderProgram.started());
  EXPECT_EQ(folderProgram.error(), "./sub: Is a directory");
  ProcessGroup badFolder(LaunchRequest{{"sh", "-c", "true"}, path("nowhere"), {}, -1});
  EXPECT_FALSE(badFolder.started());
  EXPECT_EQ(badFolder.error(), "sh: No such file or directory");
}

TEST_F(ProcessGroupTest, StoppingEndsTheWholeGroup) {
  ProcessGroup run(shell("sleep 100 & echo $! > helper.pid; sleep 100"));
  ASSERT_TRUE(run.started());
  for (int i = 0; i < 200 && read("helper.pid").empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const pid_t helper = pidIn("helper.pid");
  EXPECT_EQ(run.waitFor(0.05), ProcessGroup::Wait::TimedOut);
  run.stop(1);
  EXPECT_TRUE(run.reaped());
  EXPECT_EQ(run.exitCode(), -1);
  EXPECT_EQ(run.signal(), SIGTERM);
  EXPECT_EQ(run.describeExit(), "was killed by signal 15 (Terminated)");
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(alive(helper));
}

TEST_F(ProcessGroupTest, HelpersLeftBehindDoNotOutliveTheRun) {
  ProcessGroup run(shell("sleep 100 & echo $! > helper.pid"));
  ASSERT_TRUE(run.started());
  EXPECT_EQ(run.waitFor(10), ProcessGroup::Wait::Exited);
  const pid_t helper = pidIn("helper.pid");
  EXPECT_TRUE(alive(helper));
  run.stop(0.2);
  EXPECT_EQ(run.exitCode(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(alive(helper));
}

TEST_F(ProcessGroupTest, AWakeDescriptorEndsTheWaitEarly) {
  int wake[2];
  ASSERT_EQ(::pipe(wake), 0);
  ProcessGroup run(shell("sleep 100"));
  ASSERT_TRUE(run.started());
  const char byte = 1;
  ASSERT_EQ(::write(wake[1], &byte, 1), 1);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(run.waitFor(30, wake[0]), ProcessGroup::Wait::Woken);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ::close(wake[0]);
  ::close(wake[1]);
}

}  // namespace
}  // namespace portalhost
