#include "cleanup_on_signal.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "host_files.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;

// A run in a child process: it makes its folder, says where, and waits for a
// signal. What ended it and where its folder was come back.
struct InterruptedRun {
  int status = 0;
  std::string folder;
};

template <typename MakeFolder>
InterruptedRun interruptRun(int signal, MakeFolder makeFolder) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(fds[0]);
    const auto folder = makeFolder();
    const std::string line = folder->path() + "\n";
    (void)!::write(fds[1], line.data(), line.size());
    for (;;) ::pause();
  }
  ::close(fds[1]);
  InterruptedRun run;
  char c = 0;
  while (::read(fds[0], &c, 1) == 1 && c != '\n') run.folder += c;
  ::close(fds[0]);
  ::kill(child, signal);
  ::waitpid(child, &run.status, 0);
  return run;
}

auto workFolder(bool keep) {
  return [keep] { return std::make_unique<WorkFolder>(keep); };
}

TEST(CleanupOnSignal, AnInterruptedRunRemovesItsWorkFolderAndEndsByTheSignal) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    const InterruptedRun run = interruptRun(signal, workFolder(false));
    ASSERT_FALSE(run.folder.empty());
    EXPECT_TRUE(WIFSIGNALED(run.status)) << signal;
    EXPECT_EQ(signal, WTERMSIG(run.status));
    EXPECT_FALSE(fs::exists(run.folder)) << run.folder;
  }
}

TEST(CleanupOnSignal, AFolderToBeKeptStaysWhenTheRunIsInterrupted) {
  const InterruptedRun run = interruptRun(SIGINT, workFolder(true));
  ASSERT_FALSE(run.folder.empty());
  EXPECT_TRUE(WIFSIGNALED(run.status));
  EXPECT_TRUE(fs::is_directory(run.folder));
  fs::remove_all(run.folder);
}

TEST(CleanupOnSignal, AnInterruptedRunRemovesItsScratchFolderToo) {
  const InterruptedRun run = interruptRun(SIGTERM, [] { return std::make_unique<ScratchFolder>(); });
  ASSERT_FALSE(run.folder.empty());
  EXPECT_EQ(SIGTERM, WTERMSIG(run.status));
  EXPECT_FALSE(fs::exists(run.folder));
}

TEST(CleanupOnSignal, TheHandlersItReplacedComeBackWhenItGoes) {
  struct sigaction before {};
  ::sigaction(SIGTERM, nullptr, &before);
  bool cleaned = false;
  {
    CleanupOnSignal guard([&cleaned] { cleaned = true; });
    struct sigaction during {};
    ::sigaction(SIGTERM, nullptr, &during);
    EXPECT_NE(before.sa_handler, during.sa_handler);
  }
  struct sigaction after {};
  ::sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(before.sa_handler, after.sa_handler);
  EXPECT_FALSE(cleaned);
}

}  // namespace
}  // namespace portalhost
