// What goes wrong on real machines: the results module failing in its several
// ways, a deck that disappears, a disk that fills up. Each gives its message,
// leaves the user's input as it was, and never brings the host down.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "brisol/design_loop_test_support.h"
#include "portal/failing_renames.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::DesignLoop;
using testing::readWholeFile;

class ResultsModuleFaults : public ::testing::Test {
 protected:
  String answersPath() const { return loop.dir.file("run/tallexResults.out"); }
  DesignLoop loop;
};

TEST_F(ResultsModuleFaults, ARunThatFailsExtractsNothing) {
  loop.host.onRunCommand = [](const testing::CommandRun&) { return false; };
  EXPECT_FALSE(loop.runDesign(1, 2));
  EXPECT_NE(loop.message.find("ERROR: An error occured while running Tallex. Please check the Tallex "
                              "output file for details: " + answersPath()),
            String::npos);
  EXPECT_TRUE(loop.host.service.reports.empty());
}

TEST_F(ResultsModuleFaults, ARunThatWritesNothingIsSaidInWords) {
  loop.host.onRunCommand = [](const testing::CommandRun&) { return true; };
  EXPECT_FALSE(loop.runDesign(1, 2));
  EXPECT_NE(loop.message.find("ERROR: Unable to open the results file from Tallex: " + answersPath()),
            String::npos);
}

TEST_F(ResultsModuleFaults, HalfABlockCostsOnlyThatResponse) {
  loop.answers = "$$QUIET_GET_VALUE \"DISP\" \"UZ\" \"Node 3\" \" \" \" \"\n1\nNodal displacements\n1\n'Node'\n";
  EXPECT_TRUE(loop.runDesign(1, 2)) << loop.message;
  ASSERT_EQ(loop.host.service.reports.size(), 1u);
  EXPECT_EQ(loop.host.service.reports[0].context["message"],
            "Expecting 7 lines in result keyword starting with: $$QUIET_GET_VALUE \"DISP\" \"UZ\" "
            "\"Node 3\" \" \" \" \". Found 5.");
}

TEST(DeckFaults, ADeckThatVanishesAfterDiscoveryStopsTheUpdate) {
  DesignLoop loop;
  PortalItemList items;
  String message;
  ASSERT_TRUE(loop.portal.parseInputFile(loop.dir.file("run/plate.dat"), {}, items, message));
  std::remove(loop.dir.file("run/plate.dat").c_str());
  EXPECT_FALSE(loop.runDesign(1, 2));
  EXPECT_NE(loop.message.find("ERROR: Error reading " + loop.dir.file("run/plate.dat") + "."), String::npos);
  EXPECT_FALSE(std::filesystem::exists(loop.dir.file("run/plate.dat.temp")));
}

// Another program cutting the deck short while the update reads it: the update
// stops with the read's message instead of writing a deck without its end, and
// the host lives on (the windows after the cut are gone).
TEST(DeckFaults, ADeckCutShortDuringItsUpdateStopsTheUpdate) {
  DesignLoop loop;
  String deck = "* plate\nABRE /xTHICK/ /1/ ! t\nABRE /xWIDTH/ /5/\n";
  while (deck.size() < (3u << 20)) deck += "GRID 1 2 3 4 5 6 7 8 9 10 11 12 13\n";
  const String deckPath = loop.dir.write("cut/plate.dat", deck);
  const off_t kept = 3 << 19;
  loop.host.service.onParameterValue = [&](const String&) {
    ASSERT_EQ(::truncate(deckPath.c_str(), kept), 0);
  };
  String message;
  EXPECT_FALSE(loop.portal.updateInputFiles(
      {{"analysisName", "a1"}, {"inputFilepaths", deckPath},
       {"inputTagFilepaths", loop.dir.file("tags/P_in_a1_plate.dat")}},
      nullptr, message));
  EXPECT_EQ(message, "ERROR: Error reading " + deckPath + ".");
  EXPECT_EQ(readWholeFile(deckPath), deck.substr(0, kept));
  EXPECT_FALSE(std::filesystem::exists(deckPath + ".temp"));
}

// Only the folder decides whether a deck can be replaced: a read-only deck
// in a writable folder gets the design's values and stays read-only.
TEST(DeckFaults, AReadOnlyDeckIsUpdatedAndStaysReadOnly) {
  DesignLoop loop;
  const String deckPath = loop.dir.file("run/plate.dat");
  const String before = readWholeFile(deckPath);
  ::chmod(deckPath.c_str(), 0444);
  EXPECT_TRUE(loop.portal.updateInputFiles(
      {{"analysisName", "a1"}, {"inputFilepaths", deckPath},
       {"inputTagFilepaths", loop.dir.file("tags/P_in_a1_plate.dat")}},
      nullptr, loop.message))
      << loop.message;
  EXPECT_NE(readWholeFile(deckPath), before);
  struct stat status {};
  ASSERT_EQ(::stat(deckPath.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0444u);
  EXPECT_FALSE(std::filesystem::exists(deckPath + ".temp"));
}

// The deck is deleted before the rename, as the solver's platforms need; a
// refused rename must still leave the user with their deck.
TEST(DeckFaults, ARefusedRenameGivesTheDeckBackAndKeepsTheDesignsDeckBeside) {
  DesignLoop loop;
  const String deckPath = loop.dir.file("run/plate.dat");
  const String before = readWholeFile(deckPath);
  testing::FailingRenames refusing(".temp");
  EXPECT_FALSE(loop.portal.updateInputFiles(
      {{"analysisName", "a1"}, {"inputFilepaths", deckPath},
       {"inputTagFilepaths", loop.dir.file("tags/P_in_a1_plate.dat")}},
      nullptr, loop.message));
  EXPECT_EQ(refusing.refused(), 1);
  EXPECT_EQ(loop.message, "ERROR: Could not rename " + deckPath + ".temp to " + deckPath);
  EXPECT_EQ(readWholeFile(deckPath), before);
  EXPECT_NE(readWholeFile(deckPath + ".temp"), before);
}

// A small file system of its own makes a full disk without filling the
// machine's; only possible where the test may mount one.
TEST(DeckFaults, AFullDiskLeavesTheDeckAsItWas) {
  DesignLoop loop;
  const String small = loop.dir.file("small");
  std::filesystem::create_directories(small);
  if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k") != 0) {
    GTEST_SKIP() << "cannot mount a small file system here (needs root and mount rights)";
  }
  String deck = "* plate\nABRE /xTHICK/ /1/ ! t\nABRE /xWIDTH/ /5/\n";
  while (deck.size() < 160 * 1024) deck += "GRID 1 2 3 4 5 6 7 8 9 10 11 12 13\n";
  const String deckPath = loop.dir.write("small/plate.dat", deck);
  String message;
  const bool updated = loop.portal.updateInputFiles(
      {{"analysisName", "a1"}, {"inputFilepaths", deckPath},
       {"inputTagFilepaths", loop.dir.file("tags/P_in_a1_plate.dat")}},
      nullptr, message);
  const String after = readWholeFile(deckPath);
  const bool leftover = std::filesystem::exists(deckPath + ".temp");
  ::umount(small.c_str());
  EXPECT_FALSE(updated);
  EXPECT_EQ(message, "ERROR: Could not write the updated deck to " + deckPath + ".temp.");
  EXPECT_EQ(after, deck);
  EXPECT_FALSE(leftover);
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
