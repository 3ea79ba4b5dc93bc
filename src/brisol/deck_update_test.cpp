#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "brisol/brisol_portal.h"
#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::TempFolder;
using testing::TestHost;

class DeckUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    tagFile = dir.write("tags/P_in_a1_deck.dat",
                        "<?xml version=\"1.0\"?>\n<Portal version=\"7.2\"><Key name=\"ABRE\">"
                        "<tag name=\"T\" paramName=\"thick\" format=\"%g\"/>"
                        "<tag name=\"W\" paramName=\"width\"/></Key></Portal>\n");
    host.service.parameters = {{"thick", "2.5"}, {"width", "7"}};
    portalLines("primaryInput: deck.dat");
  }
  void portalLines(const String& lines) {
    host.service.analysisProperties["a1"]["analysisPortalData"] = StringStringMap{{"Lines", lines}};
  }
  bool update(const String& deckPath) {
    error.clear();
    return portal.updateInputFiles({{"analysisName", "a1"}, {"evalId", "5"},
                                    {"inputFilepaths", deckPath}, {"inputTagFilepaths", tagFile}},
                                   nullptr, error);
  }
  TempFolder dir;
  TestHost host;
  brisolPortal portal{&host};
  String tagFile, error;
};

TEST_F(DeckUpdate, RewritesTaggedCommandsKeepingEverythingElse) {
  const String deck = dir.write("run/deck.dat",
                                "* model\r\nABRE /xT\" '1.0' ! wall\nabre /xW/ /1/\n"
                                "ABRE /xU/ /3/ ! untagged\nMESH 1 2\n");
  ASSERT_TRUE(update(deck)) << error;
  EXPECT_EQ(testing::readWholeFile(deck),
            "* model\r\nABRE /xT/ /2.5/ ! wall\nabre /xW/ /7/\nABRE /xU/ /3/ ! untagged\n"
            "MESH 1 2\n");
  EXPECT_FALSE(std::ifstream(deck + ".temp").good());
  EXPECT_EQ(host.messageLines(),
            std::vector<String>{"Brisol execution messages can be found in the following "
                                "file:\n" + dir.file("run/deck.log") + "@16"});
  EXPECT_EQ(host.messages[0].evalId, 5);
}

TEST_F(DeckUpdate, InsertsTheVisualisationBlockBeforeEachClosingCommand) {
  portalLines("insertVisFileCmds: yes\nvisFileCmds: 2\nVIS 1\nVIS 2\nmodules: m1");
  const String deck = dir.write("deck.dat",
                                "ABRE /xT/ /1/\nABRE /xW/ /1/\n  Return \nEXIT\nRETURNS\n");
  ASSERT_TRUE(update(deck)) << error;
  EXPECT_EQ(testing::readWholeFile(deck),
            "ABRE /xT/ /2.5/\nABRE /xW/ /7/\nVIS 1\nVIS 2\n\n\n  Return \n"
            "VIS 1\nVIS 2\n\n\nEXIT\nRETURNS\n");
}

TEST_F(DeckUpdate, TagsWithoutTheirCommandFailTheUpdate) {
  const String deck = dir.write("deck.dat", "ABRE /xT/ /1/\nABRE /xW/ /oops/\n");
  EXPECT_FALSE(update(deck));
  EXPECT_EQ(error,
            "WARNING: ABRE command on line 2 will be skipped, as the value (\"/oops/\") is not "
            "numeric.\n"
            "ERROR: While updating parameter values in the input file:\n" + deck +
                "\ntags associated with the following parameters were unable to be "
                "processed:\n\twidth\n Please check the input file and ensure that there are no "
                "syntax errors in the associated ABRE commands.");
  EXPECT_EQ(testing::readWholeFile(deck), "ABRE /xT/ /2.5/\nABRE /xW/ /oops/\n");
}

// Only the commands that change are written anew; every other byte, line
// ends included, goes through as it was.
TEST_F(DeckUpdate, EachLineKeepsItsOwnEnding) {
  const String crlf =
      dir.write("crlf.dat", "* model\r\nABRE /xT/ /1/ ! t\r\nABRE /xW/ /1/\r\nMESH 1\r\n");
  ASSERT_TRUE(update(crlf)) << error;
  EXPECT_EQ(testing::readWholeFile(crlf),
            "* model\r\nABRE /xT/ /2.5/ ! t\r\nABRE /xW/ /7/\r\nMESH 1\r\n");
  const String mixed = dir.write("mixed.dat", "ABRE /xT/ /1/\nABRE /xW/ /1/\r\nMESH 1");
  ASSERT_TRUE(update(mixed)) << error;
  EXPECT_EQ(testing::readWholeFile(mixed), "ABRE /xT/ /2.5/\nABRE /xW/ /7/\r\nMESH 1");
  const String lastTagged = dir.write("last.dat", "ABRE /xT/ /1/\nABRE /xW/ /1/\r");
  ASSERT_TRUE(update(lastTagged)) << error;
  EXPECT_EQ(testing::readWholeFile(lastTagged), "ABRE /xT/ /2.5/\nABRE /xW/ /7/\r");
}

TEST_F(DeckUpdate, ADeckWithNothingToChangeComesOutByteForByte) {
  const char bytes[] = "\x7f" "ELF\x02\x01\0\0\r\rABRE\0\xff\n  abre /\xfe\r\n\n\0\x01";
  const String blob(bytes, sizeof bytes - 1);
  const String deck = dir.write("blob.dat", blob);
  EXPECT_FALSE(update(deck));
  EXPECT_NE(error.find("ERROR: While updating parameter values"), String::npos) << error;
  EXPECT_EQ(testing::readWholeFile(deck), blob);
}

TEST_F(DeckUpdate, LineNumbersInWarningsCountEveryLine) {
  String deck = "ABRE /xT/ /1/\nABRE /xW/ /1/\n";
  for (int i = 0; i < 100000; ++i) deck += "GRID 1 2 3\n";
  deck += "ABRE /xBAD/ /x/\n";
  ASSERT_TRUE(update(dir.write("long.dat", deck)));
  EXPECT_EQ(error, "WARNING: ABRE command on line 100003 will be skipped, as the value (\"/x/\") "
                   "is not numeric.");
}

TEST_F(DeckUpdate, OnlyDecksWithTheirOwnTagFilesAreTouched) {
  const String upper = dir.write("DECK.DAT", "ABRE /xT/ /1/\n");
  EXPECT_TRUE(update(upper));
  EXPECT_EQ(testing::readWholeFile(upper), "ABRE /xT/ /1/\n");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(DeckUpdate, AnUnwritableFolderLeavesTheDeckAsItWas) {
  if (geteuid() == 0) {
    // root writes anywhere: make the .temp path a folder instead.
    const String deck = dir.write("ro/deck.dat", "ABRE /xT/ /1/\nABRE /xW/ /1/\n");
    mkdir((deck + ".temp").c_str(), 0755);
    EXPECT_FALSE(update(deck));
    EXPECT_EQ(testing::readWholeFile(deck), "ABRE /xT/ /1/\nABRE /xW/ /1/\n");
    EXPECT_EQ(error, "ERROR: Could not write the updated deck to " + deck + ".temp.");
    return;
  }
  const String deck = dir.write("ro/deck.dat", "ABRE /xT/ /1/\nABRE /xW/ /1/\n");
  chmod(dir.file("ro").c_str(), 0555);
  EXPECT_FALSE(update(deck));
  chmod(dir.file("ro").c_str(), 0755);
  EXPECT_EQ(testing::readWholeFile(deck), "ABRE /xT/ /1/\nABRE /xW/ /1/\n");
  EXPECT_EQ(error, "ERROR: Could not write the updated deck to " + deck + ".temp.");
}

TEST_F(DeckUpdate, AMissingDeckStopsTheUpdate) {
  EXPECT_FALSE(update(dir.file("gone.dat")));
  EXPECT_EQ(error, "ERROR: Error reading " + dir.file("gone.dat") + ".");
}

// Nothing to delete is no failure to delete: the design's deck takes the
// name all the same.
TEST_F(DeckUpdate, ADeckGoneBeforeItsReplacementIsReplacedWithoutComplaint) {
  const String deck = dir.write("vanishing.dat", "ABRE /xT/ /1/\nABRE /xW/ /1/\n");
  host.service.onParameterValue = [&deck](const String&) { std::remove(deck.c_str()); };
  EXPECT_TRUE(update(deck));
  EXPECT_EQ(error, "");
  EXPECT_EQ(testing::readWholeFile(deck), "ABRE /xT/ /2.5/\nABRE /xW/ /7/\n");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
