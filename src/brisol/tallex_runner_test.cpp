#include <gtest/gtest.h>

#include "brisol/brisol_portal.h"
#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;
using testing::TestHost;

class TallexRunner : public ::testing::Test {
 protected:
  void SetUp() override {
    host.onRunCommand = [](const testing::CommandRun&) { return true; };
    host.service.analysisProperties["a1"]["analysisPortalData"] =
        StringStringMap{{"Lines", "zone: 7\nmodules: m1,m2"}};
  }
  bool run(const String& results = "/runs/m1/model.sdb") {
    return portal.runTallex(results, "tallex.in", "model.sdb.tallex.out", {{"analysisName", "a1"}},
                            error);
  }
  ScopedEnv noCommand{"ORLIX_TALLEX_CMD", nullptr};
  TestHost host;
  brisolPortal portal{&host};
  String error;
};

TEST_F(TallexRunner, DefaultCommandLineRunsTheSolverLauncherInTheResultsFolder) {
  ASSERT_TRUE(run());
  ASSERT_EQ(host.commandRuns.size(), 1u);
  const auto& call = host.commandRuns[0];
  EXPECT_EQ(call.program, "brisol");
  EXPECT_EQ(call.arguments, (StringList{"sr", "model.sdb", "n", "1", "lcp=m2", "request=tallex.in",
                                        "answers=model.sdb.tallex.out", "zone=7"}));
  EXPECT_EQ(call.folder, "/runs/m1");
  EXPECT_EQ(call.options, (StringStringMap{{"msgfile", "model.sdb.tallex.out"},
                                           {"errtag", "%%%"},
                                           {"prompt", "Launching Tallex to parse file:\nmodel.sdb"},
                                           {"analysisName", "a1"}}));
}

TEST_F(TallexRunner, TheInstallLocationNamesTheLauncherOrItsFolder) {
  TempFolder install;
  host.service.analysisProperties["a1"]["AnalysisProperty#install"] =
      StringStringMap{{"install", install.path()}};
  EXPECT_EQ(portal.solverCommand("a1"), install.path() + "/brisol");
  host.service.analysisProperties["a1"]["AnalysisProperty#installLocal"] =
      StringStringMap{{"installLocal", "/opt/brisol/bin/brisol7"}};
  EXPECT_EQ(portal.solverCommand("a1"), "/opt/brisol/bin/brisol7");
}

TEST_F(TallexRunner, TheEnvironmentGivesTheWholeCommandLine) {
  ScopedEnv command("ORLIX_TALLEX_CMD", "\"C:\\Program Files\\tx\\tallex.exe\" -a  -b");
  ASSERT_TRUE(run());
  EXPECT_EQ(host.commandRuns[0].program, "\"C:\\Program Files\\tx\\tallex.exe\"");
  EXPECT_EQ(host.commandRuns[0].arguments, (StringList{"-a", "", "-b"}));

  ScopedEnv bare("ORLIX_TALLEX_CMD", "tallex");
  ASSERT_TRUE(run());
  EXPECT_EQ(host.commandRuns[1].program, "tallex");
  EXPECT_TRUE(host.commandRuns[1].arguments.empty());
}

TEST_F(TallexRunner, AnUnclosedQuoteFailsBeforeAnythingRuns) {
  ScopedEnv command("ORLIX_TALLEX_CMD", "\"C:\\tx\\tallex.exe -a");
  EXPECT_FALSE(run());
  EXPECT_TRUE(host.commandRuns.empty());
  EXPECT_EQ(error,
            "ERROR: The contents of the ORLIX_TALLEX_CMD environment variable do not contain "
            "closing double quotes");
}

TEST_F(TallexRunner, AFailedRunPointsAtTheAnswersFile) {
  host.onRunCommand = nullptr;
  EXPECT_FALSE(run());
  EXPECT_EQ(error,
            "ERROR: An error occured while running Tallex. Please check the Tallex output file "
            "for details: /runs/m1/model.sdb.tallex.out");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
