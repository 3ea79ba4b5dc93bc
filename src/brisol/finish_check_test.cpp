#include <gtest/gtest.h>

#include "brisol/brisol_portal.h"
#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::TempFolder;
using testing::TestHost;

class FinishCheck : public ::testing::Test {
 protected:
  void modules(const String& list) {
    host.service.analysisProperties["a1"]["analysisPortalData"] =
        StringStringMap{{"Lines", "primaryInput: /model/deck.dat\nmodules: " + list}};
  }
  // The notes of one poll, and whether it saw the run finished.
  String poll(bool& finished) {
    String error;
    EXPECT_TRUE(portal.check("checkFinish", {{"analysisName", "a1"}, {"destDir", dir.path()}},
                             finished, error));
    return error;
  }
  String poll() {
    bool finished = true;
    const String notes = poll(finished);
    EXPECT_FALSE(finished);
    return notes;
  }
  TempFolder dir;
  TestHost host;
  brisolPortal portal{&host};
};

TEST_F(FinishCheck, AnnouncesOnceAndReportsTheMissingLogOnce) {
  modules("m1,m2");
  EXPECT_EQ(poll(),
            "NOTE: Detected a Brisol analysis with no finish condition defined. An internal "
            "finish check will be applied. The analysis will not be considered done until "
            "either of the following is found in deck.log:\n  -\"%%%E\"\n  -2 instance(s) of "
            "\"FAC Pointers\"\n"
            "NOTE: Brisol internal finish check: Cannot find Brisol log file: " +
                dir.file("deck.log"));
  EXPECT_EQ(poll(), "");
}

TEST_F(FinishCheck, CountsModulesUntilAllHaveFinished) {
  modules("m1,m2");
  poll();
  dir.write("deck.log", "start\nFAC Pointers m1\n");
  EXPECT_EQ(poll(),
            "NOTE: Brisol internal finish check: Found Brisol log file: " + dir.file("deck.log") +
                "\nNOTE: Brisol internal finish check: Found 1 of 2 occurrence(s) of \"FAC "
                "Pointers\".");
  EXPECT_EQ(poll(), "");
  dir.write("deck.log", "start\nFAC Pointers m1 %%%E\nFAC Pointers m2\n");
  bool finished = false;
  EXPECT_EQ(poll(finished),
            "NOTE: Brisol internal finish check: Found all 2 occurrence(s) of \"FAC Pointers\". "
            "Detected completion.");
  EXPECT_TRUE(finished);
}

TEST_F(FinishCheck, AnErrorMarkFinishesEvenWithoutModules) {
  modules("");
  dir.write("deck.log", "FAC Pointers m1\n%%%E out of memory\n");
  bool finished = false;
  const String notes = poll(finished);
  EXPECT_TRUE(finished);
  EXPECT_NE(notes.find("-0 instance(s)"), String::npos);
  EXPECT_NE(notes.find("Found occurrence of \"%%%E\" in Brisol log file. Detected completion."),
            String::npos);
}

TEST_F(FinishCheck, ResetRunStateRearmsTheNotes) {
  modules("m1");
  dir.write("deck.log", "start\n");
  poll();
  EXPECT_EQ(poll(), "");
  portal.resetRunState();
  const String notes = poll();
  EXPECT_NE(notes.find("Detected a Brisol analysis"), String::npos);
  EXPECT_NE(notes.find("Found Brisol log file"), String::npos);
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
