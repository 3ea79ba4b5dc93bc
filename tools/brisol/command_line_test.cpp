#include "command_line.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>

#include "test_folder.h"

namespace brisol {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome run(const std::vector<std::string>& arguments) {
  std::ostringstream out, err;
  const int status = runBrisol(arguments, out, err);
  return {status, out.str(), err.str()};
}

TEST(BrisolCommandLine, HelpAndVersionGoToTheOutputAndSucceed) {
  for (const char* flag : {"--help", "-h"}) {
    const Outcome help = run({flag});
    EXPECT_EQ(0, help.status) << flag;
    EXPECT_NE(std::string::npos, help.out.find("Usage: brisol")) << help.out;
    EXPECT_NE(std::string::npos, help.out.find("\n  sr ")) << help.out;
    EXPECT_EQ("", help.err);
  }
  const Outcome version = run({"--version"});
  EXPECT_EQ(0, version.status);
  EXPECT_EQ("brisol " PORTAL_VERSION "\n", version.out);
  EXPECT_EQ("", version.err);
  // The version is answered before the rest of the line is checked, whatever it holds.
  EXPECT_EQ(0, run({"a.dat", "b.dat", "--version"}).status);
}

// Every refusal exits 2 with CLI11's reason on the error stream and solves nothing.
TEST(BrisolCommandLine, RefusesAnythingButOneDeckOrTheResultsModule) {
  const auto refused = [](const std::vector<std::string>& arguments, const std::string& reason) {
    const Outcome outcome = run(arguments);
    EXPECT_EQ(2, outcome.status) << reason;
    EXPECT_NE(std::string::npos, outcome.err.find(reason)) << outcome.err;
    EXPECT_NE(std::string::npos, outcome.err.find("Run with --help")) << outcome.err;
    EXPECT_EQ("", outcome.out);
  };
  refused({}, "DECK is required");
  refused({"a.dat", "b.dat"}, "not expected: b.dat");
  refused({"--verbose"}, "not expected: --verbose");
  refused({"-x.dat"}, "not expected: -x.dat");
  refused({""}, "the deck name is empty");
  // "sr" after a deck is no results-module line, and not a second deck either.
  refused({"a.dat", "sr"}, "sr excludes DECK");
  refused({"a.dat", "sr", "x.sdb", "n", "1"}, "");
}

class FindTallex : public TestFolder {
 protected:
  void program(const std::string& name, mode_t mode = 0755) {
    std::filesystem::create_directories(std::filesystem::path(path(name)).parent_path());
    write(name, "#!/bin/sh\n");
    ::chmod(path(name).c_str(), mode);
  }
};

TEST_F(FindTallex, PrefersTheOneBesideTheSolver) {
  program("install/brisol");
  program("install/tallex");
  program("elsewhere/tallex");
  EXPECT_EQ(path("install/tallex"), findTallex(path("install/brisol"), path("elsewhere")));
}

TEST_F(FindTallex, OtherwiseTakesTheFirstExecutableOnThePath) {
  program("install/brisol");
  program("first/tallex", 0644);                               // not executable
  std::filesystem::create_directories(path("second/tallex"));  // a folder
  program("third/tallex");
  program("fourth/tallex");
  const std::string searchPath = path("first") + ":" + path("second") + ":" + path("third") + ":" + path("fourth");
  EXPECT_EQ(path("third/tallex"), findTallex(path("install/brisol"), searchPath));
}

TEST_F(FindTallex, AnEmptyPathEntryIsTheCurrentFolder) {
  const std::filesystem::path before = std::filesystem::current_path();
  program("tallex");
  std::filesystem::current_path(folder_);
  const std::string found = findTallex("", "/nonexistent::");
  std::filesystem::current_path(before);
  EXPECT_EQ("./tallex", found);
}

TEST_F(FindTallex, IsEmptyWhenThereIsNone) {
  program("install/brisol");
  EXPECT_EQ("", findTallex(path("install/brisol"), path("install/none") + ":" + path("nowhere")));
  EXPECT_EQ("", findTallex("", ""));
}

}  // namespace
}  // namespace brisol
