#include "portal/regular_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::TempFolder;

TEST(RegularFile, ReadsAFileWholeAnEmptyOneAndOneThroughALink) {
  TempFolder dir;
  String text = "left over";
  ASSERT_TRUE(readRegularFile(dir.write("a.txt", "one\r\ntwo"), text));
  EXPECT_EQ(text, "one\r\ntwo");
  ASSERT_TRUE(readRegularFile(dir.write("empty.txt", ""), text));
  EXPECT_EQ(text, "");
  std::filesystem::create_symlink(dir.file("a.txt"), dir.file("link.txt"));
  ASSERT_TRUE(readRegularFile(dir.file("link.txt"), text));
  EXPECT_EQ(text, "one\r\ntwo");
}

// A pipe without a writer would hold the open, and the design with it, forever.
TEST(RegularFile, AnythingElseIsRefusedAtOnce) {
  TempFolder dir;
  const String pipe = dir.file("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const String folder = dir.file("folder");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  for (const String& path : {pipe, folder, dir.file("missing"), String("/dev/zero")}) {
    String text;
    EXPECT_FALSE(readRegularFile(path, text)) << path;
    EXPECT_FALSE(RegularFile(path).isOpen()) << path;
  }
}

TEST(RegularFile, ReadsNoMoreThanAskedAndKnowsItsSize) {
  TempFolder dir;
  RegularFile file(dir.write("a.txt", "0123456789"));
  ASSERT_TRUE(file.isOpen());
  EXPECT_EQ(file.size(), 10u);
  char into[4];
  std::size_t got = 0;
  ASSERT_TRUE(file.read(into, sizeof into, got));
  EXPECT_EQ(String(into, got), "0123");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
