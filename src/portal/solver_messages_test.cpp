#include <gtest/gtest.h>

#include "portal/portal_impl.h"
#include "portal/test_host.h"
#include "portal/test_portal.h"
#include "support/host_api.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::TestHost;

// Answers the tool-message parser from a fixed list and remembers the request.
class SolverMessages : public ::testing::Test {
 protected:
  void SetUp() override {
    Support::StringTableAdmin::set("Brisol", ".Portal.err.portalAppMessage1",
                                   "One message from %1:");
    Support::StringTableAdmin::set("Brisol", ".Portal.err.portalAppMessageN",
                                   "%1 messages from %2:");
    Support::ToolMessagesAdmin::setOverride(
        [this](const String& tool, const String& category, StringList& out) {
          requests.push_back(tool + "/" + category);
          out = answer;
          return true;
        });
    Support::ToolMessagesAdmin::setObserver(
        [this](const String&, const String&, const StringStringMap& vars) { variables = vars; });
    host.service.analysisProperties["a1"]["analysisPortalData"] =
        StringStringMap{{"Lines", "primaryInput: /runs/deck.dat\nprimaryOutput: /runs/r.sdb"}};
  }
  void TearDown() override {
    Support::ToolMessagesAdmin::setOverride(nullptr);
    Support::ToolMessagesAdmin::setObserver(nullptr);
  }
  bool checkSuccess() {
    bool success = false;
    String message;
    EXPECT_TRUE(portal.check("checkSuccess", props, success, message));
    EXPECT_EQ(message, "");
    return success;
  }

  StringList answer;
  std::vector<String> requests;
  StringStringMap variables;
  StringStringMap props{{"analysisName", "a1"}, {"evalId", "4"}, {"destDir", "/runs"}};
  TestHost host;
  testing::TestPortal portal{&host};
};

TEST_F(SolverMessages, NoMessagesMeanSuccessAndSilence) {
  EXPECT_TRUE(checkSuccess());
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(requests, std::vector<String>{"Brisol/analysis_execution"});
}

TEST_F(SolverMessages, TheConfigurationSeesThePrimaryFilesAsVariables) {
  checkSuccess();
  EXPECT_EQ(variables["primaryInputFile"], "/runs/deck.dat");
  EXPECT_EQ(variables["primaryInputFilename"], "deck");
  EXPECT_EQ(variables["primaryOutputFilename"], "r");
  EXPECT_EQ(variables["destDir"], "/runs");
}

TEST_F(SolverMessages, ASingleErrorGetsTheSingularHeaderAndFailsTheRun) {
  answer = {"ERROR: thickness is negative"};
  EXPECT_FALSE(checkSuccess());
  EXPECT_EQ(host.messageLines(), (std::vector<String>{"One message from Brisol:@8",
                                                      "thickness is negative@2"}));
  EXPECT_EQ(host.messages[1].analysisName, "a1");
  EXPECT_EQ(host.messages[1].evalId, 4);
}

TEST_F(SolverMessages, KindsAreRecognisedInAnyCaseAndOnlyErrorsFail) {
  answer = {"warn:  two spaces", "Output: results written", "ERRORS are not errors",
            "note:x", "plain"};
  EXPECT_TRUE(checkSuccess());
  EXPECT_EQ(host.messageLines(),
            (std::vector<String>{"5 messages from Brisol:@8", " two spaces@4",
                                 "results written@16", "ERRORS are not errors@8", "x@8",
                                 "plain@8"}));
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
