#include <gtest/gtest.h>

#include "portal/host/support.h"
#include "support/test_folder.h"

namespace ORLIX {
namespace Support {
namespace {

TEST(FileBufferedReader, SplitsRowsAtLineFeedsOnly) {
  TestFolder folder;
  const std::pair<std::string, StringList> cases[] = {
      {"a\r\nb\r\n", {"a\r", "b\r"}}, {"a\nb", {"a", "b"}}, {"a\nb\n", {"a", "b"}},
      {"a\n\nb\n\n", {"a", "", "b", ""}}, {"\n", {""}}, {"", {}},
  };
  for (const auto& c : cases) {
    FileBufferedReader reader(folder.write("f", c.first));
    EXPECT_TRUE(reader.isOpen());
    StringList rows;
    for (int row = 0; row < reader.numLines(); ++row) rows.push_back(reader.getLine(row));
    EXPECT_EQ(rows, c.second) << testing::PrintToString(c.first);
  }
}

TEST(FileBufferedReader, UnopenableFileHasNoRows) {
  TestFolder folder;
  for (const std::string& path : {folder / "missing", folder.path}) {
    FileBufferedReader reader(path);
    EXPECT_FALSE(reader.isOpen()) << path;
    EXPECT_EQ(reader.numLines(), 0);
    EXPECT_EQ(reader.getCurrentLine(), "");
    EXPECT_FALSE(reader.gotoLine(0));
  }
}

TEST(FileBufferedReader, CursorMovesOnlyInsideTheFile) {
  TestFolder folder;
  std::string content;
  for (int i = 0; i < 100000; ++i) content += std::to_string(i) + "\n";
  FileBufferedReader reader(folder.write("f", content));
  ASSERT_EQ(reader.numLines(), 100000);
  EXPECT_EQ(reader.currentRowNumber(), 0);
  EXPECT_EQ(reader.getCurrentLine(), "0");
  ASSERT_TRUE(reader.gotoLine(99999));
  EXPECT_EQ(reader.getCurrentLine(), "99999");
  for (int outside : {-1, 100000}) {
    EXPECT_FALSE(reader.gotoLine(outside)) << outside;
    EXPECT_EQ(reader.currentRowNumber(), 99999);
    EXPECT_EQ(reader.getLine(outside), "");
  }
  EXPECT_EQ(reader.getLine(12345), "12345");
}

}  // namespace
}  // namespace Support
}  // namespace ORLIX
