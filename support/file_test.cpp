#include <gtest/gtest.h>

#include "portal/host/support.h"
#include "support/test_folder.h"

namespace ORLIX {
namespace Support {
namespace {

TEST(FileNames, BothSeparatorsAndDottedNames) {
  EXPECT_EQ(File::base("C:/run/model.SDB", true), "model.SDB");
  EXPECT_EQ(File::base("C:\\runs\\m1\\model.sdb", false), "model");
  EXPECT_EQ(File::extension("C:/run/model.SDB"), "SDB");
  EXPECT_EQ(File::parentFolder("C:\\runs/m1\\deck.dat"), "C:\\runs/m1");
  EXPECT_EQ(File::base("/a/archive.tar.gz", false), "archive.tar");
  EXPECT_EQ(File::extension("/a/archive.tar.gz"), "gz");
  EXPECT_EQ(File::extension("/my.run/deck"), "");  // a dot in a folder is no extension
  EXPECT_EQ(File::base("/my.run/deck", false), "deck");
  EXPECT_EQ(File::base("name.", false), "name");
  EXPECT_EQ(File::base("/home/.profile", false), ".profile");
  EXPECT_EQ(File::extension("/home/.profile"), "");
}

TEST(FileNames, ParentFolderEdges) {
  EXPECT_EQ(File::parentFolder("model.sdb"), ".");
  EXPECT_EQ(File::parentFolder("/a"), "");
  EXPECT_EQ(File::parentFolder("a//b"), "a");
  EXPECT_EQ(File::parentFolder("a/b/"), "a/b");
}

TEST(FileOperations, ExistsRenameRemove) {
  TestFolder folder;
  const std::string from = folder.write("deck.dat.temp", "new");
  const std::string to = folder.write("deck.dat", "old");
  EXPECT_GT(File::modifiedTime(to), 0u);
  ASSERT_TRUE(File::rename(from, to));  // replaces the target
  EXPECT_EQ(TestFolder::read(to), "new");
  EXPECT_FALSE(File::exists(from));
  EXPECT_EQ(File::modifiedTime(from), 0u);
  EXPECT_FALSE(File::rename(from, to));
  EXPECT_TRUE(File::remove(to));
  EXPECT_FALSE(File::exists(to));
  EXPECT_FALSE(File::remove(to));
}

TEST(FileOperations, Copy) {
  TestFolder folder;
  using namespace std::string_literals;
  std::string content = "line\r\nwith\0nul\n"s;
  content.resize(3 * 1024 * 1024 + 17, 'z');  // more than one copy chunk
  ASSERT_TRUE(File::copy(folder.write("src", content), folder.write("dst", "longer old content")));
  EXPECT_EQ(TestFolder::read(folder / "dst"), content);

  EXPECT_FALSE(File::copy(folder / "missing", folder / "g"));
  EXPECT_FALSE(File::exists(folder / "g"));
  EXPECT_FALSE(File::copy(folder / "src", folder / "no-such-folder/g"));
  const std::string self = folder.write("self", "keep me");
  EXPECT_TRUE(File::copy(self, self));
  EXPECT_EQ(TestFolder::read(self), "keep me");
}

TEST(FileStreams, ReaderKeepsCarriageReturnsWriterTruncatesOrAppends) {
  TestFolder folder;
  const std::string file = folder.write("f", "old content");
  { FileWriter(file, false) << "a\r\n\n"; }
  { FileWriter(file, true) << "last"; }
  FileReader reader(file, false);
  std::string line;
  StringList lines;
  while (reader.getLine(line)) lines.push_back(line);
  EXPECT_EQ(lines, (StringList{"a\r", "", "last"}));

  EXPECT_FALSE(FileReader(folder / "missing", false).is_open());
  EXPECT_FALSE(FileWriter(folder / "no-such-folder/f", false).is_open());
  FileWriter reused;
  reused.open(folder / "one");
  reused.open(folder / "two");  // moves on to the second file
  reused << "x";
  reused.close();
  EXPECT_EQ(TestFolder::read(folder / "two"), "x");
}

}  // namespace
}  // namespace Support
}  // namespace ORLIX
