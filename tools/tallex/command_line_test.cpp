#include "command_line.h"

#include <gtest/gtest.h>

#include <sstream>

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

struct Options {
  std::optional<int> status;
  std::vector<std::string> words;
  std::string refusal;
  std::string out;
  std::string err;
};

Options readAll(const std::vector<std::string>& arguments) {
  Options options;
  std::ostringstream out, err;
  options.status = readOptions(arguments, options.words, options.refusal, out, err);
  options.out = out.str();
  options.err = err.str();
  return options;
}

TEST(ReadOptions, TheRunnersWordsAreTakenAsTheyStand) {
  const std::vector<std::string> oddWords = {"sr", "-x.sdb", "--", "--help", "++", "sr", "--version", "lcp=-1"};
  for (const std::vector<std::string>& arguments : {kRunnerArguments, oddWords}) {
    const Options options = readAll(arguments);
    EXPECT_FALSE(options.status.has_value()) << options.err;
    EXPECT_EQ(arguments, options.words);
    EXPECT_EQ("", options.out + options.err);
  }
}

TEST(ReadOptions, WordsThatAreNotTheRunnersAreLeftToParseCommandLine) {
  // So a wrong line is refused with the reason parseCommandLine gives.
  EXPECT_EQ(std::vector<std::string>{}, readAll({}).words);
  const Options wrongFirst = readAll({"rs", "model.sdb", "n", "1"});
  EXPECT_FALSE(wrongFirst.status.has_value());
  EXPECT_EQ((std::vector<std::string>{"rs", "model.sdb", "n", "1"}), wrongFirst.words);
  // After the separator a word may look like an option.
  EXPECT_EQ((std::vector<std::string>{"-sr", "--x"}), readAll({"--", "-sr", "--x"}).words);
}

TEST(ReadOptions, HelpAndVersionAnswerOnTheOutput) {
  const Options help = readAll({"--help"});
  EXPECT_EQ(0, help.status);
  EXPECT_NE(std::string::npos, help.out.find("Usage: tallex")) << help.out;
  EXPECT_NE(std::string::npos, help.out.find("sr RESULTS n 1 lcp=MODULE")) << help.out;
  const Options version = readAll({"--version"});
  EXPECT_EQ(0, version.status);
  EXPECT_EQ("tallex " PORTAL_VERSION "\n", version.out);
  EXPECT_EQ("", help.err + version.err + help.refusal + version.refusal);
}

TEST(ReadOptions, AnUnknownOptionIsRefusedWithCli11sReason) {
  const Options options = readAll({"--bogus", "answers=out.txt"});
  EXPECT_EQ(2, options.status);
  EXPECT_NE(std::string::npos, options.refusal.find("--bogus")) << options.refusal;
  EXPECT_EQ(0u, options.err.find(options.refusal + "\n")) << options.err;
  EXPECT_EQ("", options.out);
}

}  // namespace
}  // namespace tallex
