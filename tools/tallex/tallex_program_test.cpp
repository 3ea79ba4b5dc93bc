// Runs the built program the way the host does: in the results file's folder,
// with the runner's command line.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class TallexProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/tallex-test-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(pattern.data()));
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  void write(const std::string& name, const std::string& text) {
    std::ofstream(folder_ / name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) {
    std::ifstream in(folder_ / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // Exit status of the program run in the folder; its standard output goes to
  // "stdout.txt", its standard error to "stderr.txt".
  int run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), TALLEX_PROGRAM);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
      if (::chdir(folder_.c_str()) != 0 || !std::freopen("stdout.txt", "w", stdout) ||
          !std::freopen("stderr.txt", "w", stderr))
        ::_exit(126);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int runDefault(const std::string& results = "model.sdb", const std::string& request = "tallex.in") {
    return run({"sr", results, "n", "1", "lcp=", "request=" + request, "answers=answers.out", "zone="});
  }

  fs::path folder_;
};

const std::string kDatabase =
    "$$TALLEX_RESULTS 1\n"
    "RESULT \"DISP\" \"Nodal displacements\"\n"
    "IDS Node\n"
    "COMPONENTS UZ\n"
    "SUPPORT \"Node %d\" \"Node\"\n"
    "STEP TIME 1\n"
    "1 0\n"
    "2 -0.004\n"
    "END\n";

TEST_F(TallexProgram, AnswersEveryCommandAndExitsZeroEvenWhenOneFails) {
  write("model.sdb", kDatabase);
  write("tallex.in",
        "$$RESULT_LIST_AVAILABLE\r\n"
        "$$QUIET_GET_VALUE \"DISP\" \" \" \"Node 2\" \" \" \"Time 1\"\r\n"
        "$$QUIET_GET_VALUE \"XYZ\" \" \" \"Node 2\" \" \" \"Time 1\"\r\n");
  write("answers.out", "an older answer, to be replaced\n");
  EXPECT_EQ(0, runDefault());
  EXPECT_EQ(
      "$$RESULT_LIST_AVAILABLE\n"
      "! 1 result(s) in model.sdb\n"
      ".MAIN\n"
      "\"DISP\" \"Nodal displacements\" \"\" \".SUPPORT_001\"\n"
      ".SUPPORT_001\n"
      "\"Node %d\" \"Node\" \"\" \".REFERENCES_001\"\n"
      ".REFERENCES_001\n"
      "\"Time %g\" \"Time %g\" \"\" \"\"\n"
      "\"Time 1\" \"Time 1\" \"\" \"\"\n"
      "$$QUIET_GET_VALUE \"DISP\" \" \" \"Node 2\" \" \" \"Time 1\"\n"
      "1\n"
      "Nodal displacements: UZ at Node 2, Time 1\n"
      "1\n"
      "'Node'\n"
      "2\n"
      "-0.004\n"
      "$$QUIET_GET_VALUE \"XYZ\" \" \" \"Node 2\" \" \" \"Time 1\"\n"
      "%%% Unknown result nature \"XYZ\"\n",
      read("answers.out"));
  EXPECT_FALSE(fs::exists(folder_ / "answers.out.temp"));
  EXPECT_EQ("", read("stderr.txt"));
}

TEST_F(TallexProgram, UnknownCommandsAreAnsweredWithAnErrorLine) {
  write("model.sdb", kDatabase);
  write("tallex.in", "$$PLOT \"DISP\"\n");
  EXPECT_EQ(0, runDefault());
  EXPECT_EQ("%%% Unknown command \"$$PLOT \"DISP\"\"\n", read("answers.out"));
}

TEST_F(TallexProgram, AMissingResultsFileFailsTheRun) {
  write("tallex.in", "$$RESULT_LIST_AVAILABLE\n");
  EXPECT_EQ(1, runDefault("missing.sdb"));
  EXPECT_EQ("%%%E Unable to open the results file \"missing.sdb\": No such file or directory\n", read("answers.out"));
  EXPECT_EQ("tallex: Unable to open the results file \"missing.sdb\": No such file or directory\n", read("stderr.txt"));
}

TEST_F(TallexProgram, AMalformedDatabaseFailsTheRunWithoutPartialAnswers) {
  write("model.sdb", kDatabase.substr(0, kDatabase.size() - 4));
  write("tallex.in", "$$RESULT_LIST_AVAILABLE\n");
  EXPECT_EQ(1, runDefault());
  EXPECT_EQ(
      "%%%E Malformed results database \"model.sdb\": result \"DISP\" (line 2) has no END; the file may be "
      "truncated\n",
      read("answers.out"));
}

TEST_F(TallexProgram, AnUnreadableRequestFileFailsTheRun) {
  write("model.sdb", kDatabase);
  fs::create_directory(folder_ / "requests");
  EXPECT_EQ(1, runDefault("model.sdb", "none.in"));
  EXPECT_EQ("%%%E Unable to read the request file \"none.in\": No such file or directory\n", read("answers.out"));
  EXPECT_EQ(1, runDefault("model.sdb", "requests"));
  EXPECT_EQ("%%%E Unable to read the request file \"requests\": it is a folder\n", read("answers.out"));
}

TEST_F(TallexProgram, ACommandLineThatIsNotTheRunnersIsRefused) {
  write("model.sdb", kDatabase);
  write("tallex.in", "$$RESULT_LIST_AVAILABLE\n");
  EXPECT_EQ(2, run({"sr", "model.sdb", "n", "1", "answers=answers.out", "request=tallex.in", "lcp=", "zone="}));
  EXPECT_EQ("%%%E Bad command line: argument 5 must be lcp=..., found \"answers=answers.out\"\n", read("answers.out"));
  EXPECT_NE(std::string::npos, read("stderr.txt").find("usage: tallex sr RESULTS n 1"));
  EXPECT_EQ(2, run({}));
}

TEST_F(TallexProgram, ALineCli11RefusesIsAnsweredToo) {
  EXPECT_EQ(2, run({"--bogus", "answers=answers.out"}));
  const std::string answer = read("answers.out");
  EXPECT_EQ(0u, answer.find("%%%E Bad command line: ")) << answer;
  EXPECT_NE(std::string::npos, answer.find("--bogus")) << answer;
  EXPECT_EQ('\n', answer.back());
  EXPECT_EQ(1, std::count(answer.begin(), answer.end(), '\n')) << answer;
  EXPECT_NE(std::string::npos, read("stderr.txt").find("--bogus"));
}

TEST_F(TallexProgram, PrintsItsVersionWithoutTouchingAnAnswersFile) {
  EXPECT_EQ(0, run({"--version", "answers=answers.out"}));
  EXPECT_EQ("tallex " PORTAL_VERSION "\n", read("stdout.txt"));
  EXPECT_FALSE(fs::exists(folder_ / "answers.out"));
}

TEST_F(TallexProgram, AResultsFileNamedLikeAnOptionIsRead) {
  write("-x.sdb", kDatabase);
  write("tallex.in", "$$RESULT_LIST_AVAILABLE\n");
  EXPECT_EQ(0, runDefault("-x.sdb")) << read("stderr.txt");
  EXPECT_EQ(0u, read("answers.out").find("$$RESULT_LIST_AVAILABLE\n! 1 result(s) in -x.sdb\n"));
}

}  // namespace
