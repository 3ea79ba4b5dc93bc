#include <gtest/gtest.h>

#include <sstream>

#include "portal/host/support.h"
#include "support/host_api.h"
#include "support/test_folder.h"

namespace ORLIX {
namespace Support {
namespace {

class ToolMessagesTest : public testing::Test {
 protected:
  void TearDown() override {
    ToolMessagesAdmin::setConfigFile("");
    ToolMessagesAdmin::setObserver({});
    ToolMessagesAdmin::setOverride({});
  }
  // Asks for the Solver/run messages with `config` as the configuration.
  StringList messages(const String& config, const StringStringMap& variables = {}) {
    ToolMessagesAdmin::setConfigFile(folder.write("messages.conf", config));
    return FileParser::getToolMessagesUsingConfigFile("Solver", "run", variables, error);
  }
  TestFolder folder;
  String error;
};

TEST_F(ToolMessagesTest, FileNamesTakeVariablesAndWildcards) {
  folder.write("deck.log", "ok\n%%% broken\n");
  folder.write("b.out", "%%% from b\n");
  folder.write("a.out", "%%% from a\n");
  folder.write("a.txt", "%%% not this one\n");
  std::filesystem::create_directory(folder / "dir.out");
  EXPECT_EQ(messages("[Solver run]\n"
                     "file = ${dir}/${name}${unknown}.log\n"
                     "file = ${dir}/*.out\n"
                     "file = ${dir}/not-yet-written.log\n"
                     "ERROR startswith %%%\n",
                     {{"dir", folder.path}, {"name", "deck"}}),
            (StringList{"ERROR: %%% broken", "ERROR: %%% from a", "ERROR: %%% from b"}));
  EXPECT_EQ(error, "");
}

TEST_F(ToolMessagesTest, FirstMatchingRuleDecidesAndOtherLinesAreDropped) {
  const String log = folder.write("log", "plain\r\n%%% both %%%W\r\n  %%% indented\nnote: x\n");
  EXPECT_EQ(messages("[Solver run]\nfile = " + log + "\n"
                     "WARNING contains %%%W\n"
                     "ERROR startswith %%%\n"
                     "NOTE contains note:\n"
                     "OUTPUT contains \" %%% \"\n"),
            (StringList{"WARNING: %%% both %%%W", "OUTPUT:   %%% indented", "NOTE: note: x"}));
}

// The log is read a block at a time: lines that cross blocks, one longer than
// a block, a blank line and a last line without its feed all count whole.
TEST_F(ToolMessagesTest, LinesAcrossTheReadersBlocksCountWhole) {
  const String filler(70000, '.');
  const String log = folder.write("log", "%%% first\n" + filler + " %%% far out\r\n\n" +
                                             String(65530, '-') + "\n%%% across\n%%% last");
  EXPECT_EQ(messages("[Solver run]\nfile = " + log + "\nERROR contains %%%\n"),
            (StringList{"ERROR: %%% first", "ERROR: " + filler + " %%% far out", "ERROR: %%% across",
                        "ERROR: %%% last"}));
}

TEST_F(ToolMessagesTest, OnlyTheExactToolAndCategoryCountAndAllTheirSectionsApply) {
  const String log = folder.write("log", "a\nb\n");
  EXPECT_EQ(messages("[solver run]\nfile = " + log + "\nNOTE contains a\n"
                     "[Solver run]\nfile = " + log + "\nNOTE contains b\n"
                     "[Solver runs]\nfile = " + log + "\nNOTE contains a\n"
                     "[Solver run]\nfile = " + log + "\nOUTPUT contains a\n"),
            (StringList{"NOTE: b", "OUTPUT: a"}));
  EXPECT_EQ(messages("[Other run]\nfile = " + log + "\nNOTE contains a\n"), StringList{});
  EXPECT_EQ(error, "");
}

TEST_F(ToolMessagesTest, ConfigurationProblemsAreReportedAsPlainLines) {
  const String log = folder.write("log", "x\n");
  error = "earlier text";
  EXPECT_EQ(messages("file = orphan\n"
                     "[Solver]\n"
                     "ERROR contains ignored in a bad section\n"
                     "[Solver run]\nfile = " + log + "\n"
                     "ERROR matches x\n"
                     "error contains x\n"
                     "NOTE contains\n"
                     "file =\n"
                     "something else\n"
                     "NOTE contains x\n"),
            StringList{"NOTE: x"});  // the sound part still works
  std::istringstream lines(error);
  String line;
  std::getline(lines, line);
  EXPECT_EQ(line, "earlier text");
  int reports = 0;
  for (; std::getline(lines, line); ++reports) {
    EXPECT_EQ(line.rfind("Tool-message configuration: ", 0), 0u) << line;
    EXPECT_EQ(line.find("ERROR"), String::npos) << line;
  }
  EXPECT_EQ(reports, 7) << error;

  error.clear();
  ToolMessagesAdmin::setConfigFile(folder / "missing.conf");
  EXPECT_EQ(FileParser::getToolMessagesUsingConfigFile("Solver", "run", {}, error), StringList{});
  EXPECT_EQ(error.rfind("Tool-message configuration: ", 0), 0u) << error;
  messages(String("\0\xff[\n]]\n[[x y]\nfile=\0\n", 21));  // garbage must not crash
}

// The parse of a configuration is kept between requests; none of that may
// show: an edit takes effect at the next request, even one that keeps the
// file's size, and the problems come with every answer.
TEST_F(ToolMessagesTest, EditsTakeEffectAtOnceAndProblemsComeEveryTime) {
  const String log = folder.write("log", "a\nb\n");
  const String sections = "[Other run]\nfile = " + log + "\nnonsense\n[Solver run]\nfile = " + log;
  EXPECT_EQ(messages(sections + "\nNOTE contains a\n"), StringList{"NOTE: a"});
  EXPECT_EQ(FileParser::getToolMessagesUsingConfigFile("Solver", "run", {}, error), StringList{"NOTE: a"});
  EXPECT_EQ(FileParser::getToolMessagesUsingConfigFile("Other", "run", {}, error), StringList{});
  const String problem = "Tool-message configuration: " + (folder / "messages.conf") +
                         " line 3: expected \"file = <path>\" or a rule \"<KIND> contains|startswith <text>\".";
  EXPECT_EQ(error, problem + "\n" + problem + "\n" + problem);

  error.clear();
  EXPECT_EQ(messages(sections + "\nNOTE contains b\n"), StringList{"NOTE: b"});  // the same size
  EXPECT_EQ(FileParser::getToolMessagesUsingConfigFile("Other", "run", {}, error), StringList{});
  EXPECT_EQ(error, problem + "\n" + problem);
  EXPECT_EQ(messages("[Solver run]\nfile = " + log + "\nWARNING startswith b\n"), StringList{"WARNING: b"});
}

TEST_F(ToolMessagesTest, ObserverSeesEveryRequestAndOverrideCanAnswer) {
  std::vector<String> seen;
  ToolMessagesAdmin::setObserver([&](const String& tool, const String& category, const StringStringMap& vars) {
    seen.push_back(tool + "/" + category + "/" + vars["k"]);
  });
  ToolMessagesAdmin::setOverride([](const String&, const String& category, StringList& out) {
    out.push_back("WARNING: partial");
    return category == "answered";
  });
  ToolMessagesAdmin::setConfigFile(folder / "missing.conf");
  EXPECT_EQ(FileParser::getToolMessagesUsingConfigFile("T", "answered", {{"k", "v"}}, error),
            StringList{"WARNING: partial"});
  EXPECT_EQ(error, "");  // the configuration was not read

  const String log = folder.write("log", "x\n");
  ToolMessagesAdmin::setConfigFile(folder.write("c.conf", "[T other]\nfile = " + log + "\nNOTE contains x\n"));
  EXPECT_EQ(FileParser::getToolMessagesUsingConfigFile("T", "other", {}, error), StringList{"NOTE: x"});
  EXPECT_EQ(seen, (std::vector<String>{"T/answered/v", "T/other/"}));
}

TEST_F(ToolMessagesTest, ShippedConfigurationReadsTheSolverFiles) {
  folder.write("deck.log", "start\n%%%W low memory\n%%%E singular matrix\n");
  folder.write("model.sdb.tallex.out", "RESULTS\n%%%E no database\n x %%% not at start\n");
  folder.write("tallexResults.out", "%%% no such response\n1\n%%%E run failed\n");
  const StringStringMap variables{
      {"destDir", folder.path}, {"parseDir", folder.path}, {"primaryInputFilename", "deck"}};
  EXPECT_EQ(FileParser::getToolMessagesUsingConfigFile("Brisol", "analysis_execution", variables, error),
            (StringList{"WARNING: %%%W low memory", "ERROR: %%%E singular matrix"}));
  EXPECT_EQ(FileParser::getToolMessagesUsingConfigFile("Brisol", "parse_output", variables, error),
            StringList{"ERROR: %%%E no database"});
  EXPECT_EQ(FileParser::getToolMessagesUsingConfigFile("Brisol", "response_extraction", variables, error),
            (StringList{"WARNING: %%% no such response", "ERROR: %%%E run failed"}));
  EXPECT_EQ(error, "");
}

}  // namespace
}  // namespace Support
}  // namespace ORLIX
