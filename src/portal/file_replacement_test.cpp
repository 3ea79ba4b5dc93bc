#include "portal/file_replacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "portal/failing_renames.h"
#include "portal/host/support.h"
#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace {

using Support::File;
using testing::FailingRenames;
using testing::readWholeFile;
using testing::TempFolder;

class Replacing : public ::testing::Test {
 protected:
  String original() const { return dir.file("deck.dat"); }
  String temp() const { return dir.file("deck.dat.temp"); }
  mode_t modeOf(const String& path) const {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
  }

  TempFolder dir;
};

TEST_F(Replacing, PutsTheNewContentUnderTheFilesNameWithTheFilesPermissions) {
  dir.write("deck.dat", "old\n");
  ::chmod(original().c_str(), 0444);
  dir.write("deck.dat.temp", "new\n");
  const FileReplacement done = replaceByTemp(temp(), original());
  EXPECT_TRUE(done.originalFound);
  EXPECT_FALSE(done.deleteFailed);
  EXPECT_TRUE(done.renamed);
  EXPECT_EQ(readWholeFile(original()), "new\n");
  EXPECT_EQ(modeOf(original()), 0444u);
  EXPECT_FALSE(File::exists(temp()));
}

TEST_F(Replacing, AFileThatIsNotThereIsOnlyGivenItsNewContent) {
  dir.write("deck.dat.temp", "new\n");
  const FileReplacement done = replaceByTemp(temp(), original());
  EXPECT_FALSE(done.originalFound);
  EXPECT_FALSE(done.deleteFailed);
  EXPECT_TRUE(done.renamed);
  EXPECT_EQ(readWholeFile(original()), "new\n");
}

// The whole content comes back, however large, with its permissions; the
// new content stays in the temporary file for the user to look at.
TEST_F(Replacing, ARefusedRenameGivesTheOriginalBackWhole) {
  String big;
  for (int i = 0; i < 200000; ++i) big += "GRID " + std::to_string(i) + " 1.0 2.0 3.0\n";
  dir.write("deck.dat", big);
  ::chmod(original().c_str(), 0640);
  dir.write("deck.dat.temp", "new\n");
  FailingRenames refusing(".temp");
  const FileReplacement done = replaceByTemp(temp(), original());
  EXPECT_EQ(refusing.refused(), 1);
  EXPECT_TRUE(done.originalFound);
  EXPECT_FALSE(done.renamed);
  EXPECT_TRUE(done.restored);
  EXPECT_EQ(readWholeFile(original()), big);
  EXPECT_EQ(modeOf(original()), 0640u);
  EXPECT_EQ(readWholeFile(temp()), "new\n");
}

TEST_F(Replacing, ARefusedRenameWithoutAnOriginalLeavesOnlyTheTemporaryFile) {
  dir.write("deck.dat.temp", "new\n");
  FailingRenames refusing(".temp");
  const FileReplacement done = replaceByTemp(temp(), original());
  EXPECT_EQ(refusing.refused(), 1);
  EXPECT_FALSE(done.renamed);
  EXPECT_FALSE(done.restored);
  EXPECT_FALSE(File::exists(original()));
  EXPECT_EQ(readWholeFile(temp()), "new\n");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
