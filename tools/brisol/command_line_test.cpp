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

TEST(BrisolCommandLine, HelpPrintsTheUsage) {
  const Outcome help = run({"--help"});
  EXPECT_EQ(0, help.status);
  EXPECT_EQ(kUsage, help.out);
  EXPECT_EQ(0, run({"-h"}).status);
}

TEST(BrisolCommandLine, RefusesAnythingButOneDeck) {
  const Outcome none = run({});
  EXPECT_EQ(2, none.status);
  EXPECT_EQ(std::string("brisol: no deck given\n") + kUsage, none.err);
  EXPECT_EQ(0u, run({"a.dat", "b.dat"}).err.find("brisol: expected one deck, found 2 arguments\n"));
  EXPECT_EQ(0u, run({"--verbose"}).err.find("brisol: unknown option \"--verbose\"\n"));
  EXPECT_EQ(2, run({""}).status);
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
