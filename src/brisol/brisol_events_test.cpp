#include <gtest/gtest.h>

#include "brisol/brisol_portal.h"
#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::TestHost;

class BrisolEvents : public ::testing::Test {
 protected:
  void modules(const String& list) {
    host.service.analysisProperties["a1"]["analysisPortalData"] =
        StringStringMap{{"Lines", "modules: " + list}};
  }
  StringStringMap event(const String& name, const StringStringMap& data, bool expected = true) {
    StringStringMap reply;
    EXPECT_EQ(portal.handleEvent(name, data, reply), expected) << name;
    return reply;
  }
  TestHost host;
  brisolPortal portal{&host};
};

TEST_F(BrisolEvents, InitAnalysisInstallsTheSuccessConditionAndSettings) {
  const StringStringMap reply = event("initAnalysis", {});
  EXPECT_EQ(reply.size(), 4u);
  EXPECT_EQ(reply["finishFrequency"], "10");
  EXPECT_EQ(reply["successCheck#Attribute"], "success_Brisol");
  EXPECT_EQ(reply["add_EnvVar"], "BRS_USE_PVX=1");
  EXPECT_EQ(reply["addAttribute"],
            "attType: Condition\nattName: success_Brisol\ntype: FileNotContain\n"
            "findRef: $INPUTFILENAME$.log\nfindText: %%%E\n");
  EXPECT_TRUE(event("InitAnalysis", {}, false).empty());
}

TEST_F(BrisolEvents, AddedFilesAnnounceTheirCompanions) {
  modules("m1,m2");
  EXPECT_EQ(event("fileAdded", {{"type", "input"}, {"filepath", "/r/deck.dat"}})["addVisFilename"],
            "deck.jpeg");
  EXPECT_EQ(event("fileAdded", {{"type", "output"}, {"analysisName", "a1"},
                                {"filepath", "C:/run/model.SDB"}})["addOutputFilepath"],
            "C:/run/model_m2.des\nC:/run/model_m2.fac");
  EXPECT_TRUE(event("fileAdded", {{"type", "output"}, {"filepath", "/r/x.txt"}}, false).empty());
  modules("");
  EXPECT_EQ(event("fileAdded", {{"type", "output"}, {"analysisName", "a1"},
                                {"filepath", "/r/m.sdb"}})["addOutputFilepath"],
            "/r/m_.des\n/r/m_.fac");
}

TEST_F(BrisolEvents, AModuleChangeReplacesTheResultFiles) {
  modules("x, y");
  host.service.analysisProperties["a1"]["filenames"] =
      StringStringMap{{"outputFilepaths", "/r/a.sdb\n/r/a_x.des\n/r/a_x.FAC\n/r/notes.txt"}};
  const StringStringMap reply =
      event("propertyChange", {{"propertyChange", "portal_mode"}, {"analysisName", "a1"}});
  EXPECT_EQ(reply["delOutputFilepath"], "/r/a_x.des\n/r/a_x.FAC");
  EXPECT_EQ(reply["addOutputFilepath"], "/r/a_y.des\n/r/a_y.fac");
  EXPECT_TRUE(event("propertyChange", {{"propertyChange", "other"}}, false).empty());
}

TEST_F(BrisolEvents, OutputParametersAreNamedFromTheResultKey) {
  auto name = [this](const String& key) {
    return event("paramName", {{"type", "output"}, {"key", key}})["name"];
  };
  EXPECT_EQ(name("Result [Stress tensor]\nVon Mises\nNode 3"), "stress_VonMises");
  EXPECT_EQ(name("[Nodal displacements (mm)]\nTZ"), "disp");
  EXPECT_EQ(name("(Frequency)"), "frequency");
  EXPECT_EQ(name("[Odd thing]\nA B\nC"), "Oddthing_AB");
  StringStringMap reply;
  EXPECT_FALSE(portal.handleEvent("paramName", {{"type", "input"}, {"key", "[x]"}}, reply));
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
