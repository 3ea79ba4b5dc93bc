#include "command_line.h"

#include <gtest/gtest.h>

namespace tallex {
namespace {

const std::vector<std::string> kRunnerArguments = {
    "sr", "model.sdb", "n", "1", "lcp=m2", "request=tallex.in", "answers=model.sdb.tallex.out", "zone=7"};

TEST(CommandLine, TakesTheRunnersArgumentsInItsOrder) {
  CommandLine line;
  std::string why;
  ASSERT_TRUE(parseCommandLine(kRunnerArguments, line, why)) << why;
  EXPECT_EQ("model.sdb", line.results);
  EXPECT_EQ("m2", line.module);
  EXPECT_EQ("tallex.in", line.request);
  EXPECT_EQ("model.sdb.tallex.out", line.answers);
  EXPECT_EQ("7", line.zone);
}

TEST(CommandLine, ModuleAndZoneMayBeEmpty) {
  std::vector<std::string> arguments = kRunnerArguments;
  arguments[4] = "lcp=";
  arguments[7] = "zone=";
  CommandLine line;
  std::string why;
  ASSERT_TRUE(parseCommandLine(arguments, line, why)) << why;
  EXPECT_EQ("", line.module);
  EXPECT_EQ("", line.zone);
}

std::string refusal(std::vector<std::string> arguments) {
  CommandLine line;
  std::string why;
  EXPECT_FALSE(parseCommandLine(arguments, line, why));
  return why;
}

TEST(CommandLine, SaysWhichArgumentIsWrong) {
  EXPECT_EQ("expected 8 arguments, found 0", refusal({}));
  std::vector<std::string> swapped = kRunnerArguments;
  std::swap(swapped[5], swapped[6]);
  EXPECT_EQ("argument 6 must be request=..., found \"answers=model.sdb.tallex.out\"", refusal(swapped));
  std::vector<std::string> wrongWord = kRunnerArguments;
  wrongWord[3] = "2";
  EXPECT_EQ("argument 4 must be \"1\", found \"2\"", refusal(wrongWord));
  std::vector<std::string> noRequest = kRunnerArguments;
  noRequest[5] = "request=";
  EXPECT_EQ("request= names no file", refusal(noRequest));
  std::vector<std::string> noResults = kRunnerArguments;
  noResults[1] = "";
  EXPECT_EQ("the results file name is empty", refusal(noResults));
}

TEST(CommandLine, FindsTheAnswersFileOfARefusedLine) {
  EXPECT_EQ("out.txt", findAnswersFile({"answers=", "x", "answers=out.txt"}));
  EXPECT_EQ("", findAnswersFile({"sr", "model.sdb"}));
}

}  // namespace
}  // namespace tallex
