// Runs the built programs the way the host does: the solver in the deck's
// folder, then the results module through the solver's "sr" subcommand.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "test_folder.h"

namespace brisol {
namespace {

namespace fs = std::filesystem;

class BrisolProgram : public TestFolder {
 protected:
  // Exit status of `program` run in the folder; its standard output goes to
  // "stdout.txt", its standard error to "stderr.txt". A non-null `searchPath`
  // replaces PATH.
  int run(const std::string& program, std::vector<std::string> arguments, const char* searchPath = nullptr) {
    arguments.insert(arguments.begin(), program);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
      if (::chdir(folder_.c_str()) != 0 || !std::freopen("stdout.txt", "w", stdout) ||
          !std::freopen("stderr.txt", "w", stderr))
        ::_exit(126);
      if (searchPath) ::setenv("PATH", searchPath, 1);
      ::unsetenv("BRISOL_STANDIN_DELAY");
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  int results(const std::string& program, const char* searchPath = nullptr) {
    return run(program,
               {"sr", "cantilever.sdb", "n", "1", "lcp=static", "request=tallex.in", "answers=answers.out", "zone="},
               searchPath);
  }

  // A copy of the solver alone in a folder of its own, with no tallex beside it.
  std::string lonelySolver() {
    fs::create_directories(path("alone"));
    fs::copy_file(BRISOL_PROGRAM, path("alone/brisol"));
    return path("alone/brisol");
  }
};

double lastNumber(const std::string& text) {
  const auto end = text.find_last_not_of('\n');
  const auto start = text.rfind('\n', end);
  return std::stod(text.substr(start + 1, end - start));
}

const std::string kTipRequest = "$$QUIET_GET_VALUE \"DISP\" \"UZ\" \"Node 9\" \" \" \"Time 1\"\n";

TEST_F(BrisolProgram, TallexAnswersTheTipDeflectionOfTheSolversDatabase) {
  write("cantilever.dat", kCantileverDeck + "MODULES static\nRETURN\n");
  ASSERT_EQ(0, run(BRISOL_PROGRAM, {"cantilever.dat"})) << read("stderr.txt");
  write("tallex.in", "$$RESULT_LIST_AVAILABLE\n" + kTipRequest);
  ASSERT_EQ(0, results(BRISOL_PROGRAM)) << read("stderr.txt");
  const std::string answers = read("answers.out");
  EXPECT_NE(std::string::npos, answers.find("\"DISP\" \"Nodal displacements\" \".TOSCALAR_001\" \".SUPPORT_001\"\n"));
  EXPECT_NE(std::string::npos, answers.find("\"STRS\" \"Bending stresses\" \".TOSCALAR_003\" \".SUPPORT_003\"\n"));
  const auto block = answers.find(kTipRequest);
  ASSERT_NE(std::string::npos, block) << answers;
  const double inertia = 20.0 * 40 * 40 * 40 / 12;
  const double expected = -500 * 1e9 / (3 * 210000 * inertia);
  EXPECT_NEAR(expected, lastNumber(answers), 1e-9 * std::abs(expected)) << answers;
  EXPECT_EQ(0u, answers.substr(block).find(kTipRequest +
                                           "1\nNodal displacements: Translation Z at Node 9, Time 1\n1\n'Node'\n9\n"))
      << answers;
}

TEST_F(BrisolProgram, EveryResultIsAddressableAsThePortalAsks) {
  write("cantilever.dat", kCantileverDeck + "MODULES static, modal\n");
  ASSERT_EQ(0, run(BRISOL_PROGRAM, {"cantilever.dat"})) << read("stderr.txt");
  const std::vector<std::string> requests = {
      "$$QUIET_GET_VALUE \"STRS\" \"SXX\" \"Element 1 Node 1\" \"TOP\" \"Time 1\"",
      "$$QUIET_GET_VALUE \"BEND\" \" \" \"Element 8\" \" \" \" \"",
      "$$QUIET_GET_VALUE \"FREQ\" \" \" \"MODES\" \" \" \"MODE1\"",
      "$$QUIET_GET_VALUE \"MODE\" \"UZ\" \"Node 9\" \" \" \"MODE2\"",
      "$$QUIET_GET_VALUE \"DISP\" \"MAG\" \"NODES\" \" \" \"Time 1\""};
  std::string request;
  for (const std::string& line : requests) request += line + "\n";
  write("tallex.in", request);
  ASSERT_EQ(0, results(BRISOL_PROGRAM)) << read("stderr.txt");
  const std::string answers = read("answers.out");
  EXPECT_EQ(std::string::npos, answers.find("%%%")) << answers;
  // The root's top fibre: P L (h / 2) / I = 93.75 MPa.
  EXPECT_NE(std::string::npos, answers.find("'Element%Node'\n1 1\n93.75")) << answers;
  EXPECT_NE(std::string::npos, answers.find("'Element%Node'\n8 8\n8 9\n")) << answers;
  EXPECT_NE(std::string::npos, answers.find("'Mode'\n1\n")) << answers;
  EXPECT_NE(std::string::npos, answers.find("Mode shapes: Translation Z at Node 9, Mode 2\n1\n'Node'\n9\n1\n"))
      << answers;
  EXPECT_NE(std::string::npos, answers.find("\n9\n'Node'\n1\n2\n3\n")) << answers;
}

TEST_F(BrisolProgram, TheResultsModulesStatusIsTheRunsStatus) {
  write("tallex.in", kTipRequest);
  EXPECT_EQ(1, results(BRISOL_PROGRAM));  // no database
  EXPECT_EQ(0u, read("answers.out").find("%%%E Unable to open the results file \"cantilever.sdb\""));
  EXPECT_EQ(2, run(BRISOL_PROGRAM, {"sr", "cantilever.sdb", "n", "2"}));
}

TEST_F(BrisolProgram, TheResultsModuleIsFoundOnThePathWhenNotBesideTheSolver) {
  write("cantilever.dat", kCantileverDeck);
  const std::string solver = lonelySolver();
  ASSERT_EQ(0, run(solver, {"cantilever.dat"}));
  write("tallex.in", kTipRequest);
  const std::string tallexFolder = fs::path(TALLEX_PROGRAM).parent_path().string();
  ASSERT_EQ(0, results(solver, tallexFolder.c_str())) << read("stderr.txt");
  EXPECT_EQ(0u, read("answers.out").find(kTipRequest));
}

TEST_F(BrisolProgram, TheResultsModuleGetsEveryWordUntouched) {
  const std::string solver = lonelySolver();
  fs::create_directories(path("fake"));
  write("fake/tallex", "#!/bin/sh\nfor word in \"$@\"; do printf '%s\\n' \"$word\"; done > words.txt\nexit 7\n");
  fs::permissions(path("fake/tallex"), fs::perms::owner_all);
  const std::vector<std::string> words = {"sr",           "--",     "--help",        "-h", "--version", "++", "sr",
                                          "--lcp=static", "-x.sdb", "answers=a.out", "",   "zone="};
  EXPECT_EQ(7, run(solver, words, path("fake").c_str())) << read("stderr.txt");
  std::string expected;
  for (const std::string& word : words) expected += word + "\n";
  EXPECT_EQ(expected, read("words.txt"));
  EXPECT_EQ("", read("stdout.txt"));
}

TEST_F(BrisolProgram, ADeckNamedLikeAnOptionOrTheSubcommandIsSolvedAfterTheSeparator) {
  write("-x.dat", kCantileverDeck);
  EXPECT_EQ(2, run(BRISOL_PROGRAM, {"-x.dat"}));
  EXPECT_FALSE(exists("-x.log"));
  EXPECT_EQ(0, run(BRISOL_PROGRAM, {"--", "-x.dat"})) << read("stderr.txt");
  EXPECT_TRUE(exists("-x.sdb"));
  write("sr", kCantileverDeck);
  EXPECT_EQ(0, run(BRISOL_PROGRAM, {"--", "sr"})) << read("stderr.txt");
  EXPECT_TRUE(exists("sr.sdb"));
}

TEST_F(BrisolProgram, WithoutTheResultsModuleTheAnswersFileSaysWhy) {
  const std::string solver = lonelySolver();
  write("tallex.in", kTipRequest);
  EXPECT_EQ(1, results(solver, path("nowhere").c_str()));
  const std::string why = "Unable to start the results module: no tallex program beside brisol or on the PATH";
  EXPECT_EQ("%%%E " + why + "\n", read("answers.out"));
  EXPECT_EQ("brisol: " + why + "\n", read("stderr.txt"));
}

TEST_F(BrisolProgram, AFailedRunExitsNonZeroWithItsReasonInTheLog) {
  write("cantilever.dat", kCantileverDeck + "ABRE /%LENGTH/ /-1/\n");
  EXPECT_EQ(1, run(BRISOL_PROGRAM, {"cantilever.dat"}));
  EXPECT_NE(std::string::npos, read("cantilever.log").find("\n%%%E LENGTH on line 9 must be positive, found -1\n"));
  EXPECT_EQ(2, run(BRISOL_PROGRAM, {}));
}

TEST_F(BrisolProgram, PrintsItsVersionAndRefusesAnUnknownOption) {
  EXPECT_EQ(0, run(BRISOL_PROGRAM, {"--version"}));
  EXPECT_EQ("brisol " PORTAL_VERSION "\n", read("stdout.txt"));
  EXPECT_EQ(2, run(BRISOL_PROGRAM, {"--bogus"}));
  EXPECT_NE(std::string::npos, read("stderr.txt").find("--bogus")) << read("stderr.txt");
  EXPECT_EQ("", read("stdout.txt"));
}

}  // namespace
}  // namespace brisol
