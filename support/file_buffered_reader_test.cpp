#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <numeric>
#include <random>

#include "portal/host/support.h"
#include "support/reader_window.h"
#include "support/test_folder.h"
#include "tagging/resident_peak.h"

namespace ORLIX {
namespace Support {
namespace {

// Windows of a few bytes put window edges inside every row of a small file.
class FileBufferedReaderTest : public testing::Test {
 protected:
  void TearDown() override { setReaderWindowForTests(0); }

  // The rows joined by '\n', with a final one when asked.
  static std::string joined(const StringList& rows, bool finalFeed) {
    std::string content;
    for (const String& row : rows) content += row + '\n';
    if (!finalFeed && !content.empty()) content.pop_back();
    return content;
  }
  static StringList rowsOf(const FileBufferedReader& reader, const std::vector<int>& order) {
    StringList rows(static_cast<std::size_t>(reader.numLines()));
    for (int row : order) rows[static_cast<std::size_t>(row)] = reader.getLine(row);
    return rows;
  }

  TestFolder folder;
};

TEST_F(FileBufferedReaderTest, SplitsRowsAtLineFeedsOnlyWhateverTheWindow) {
  const std::pair<std::string, StringList> cases[] = {
      {"a\r\nb\r\n", {"a\r", "b\r"}}, {"a\nb", {"a", "b"}}, {"a\nb\n", {"a", "b"}},
      {"a\n\nb\n\n", {"a", "", "b", ""}}, {"\n", {""}}, {"\n\n\n", {"", "", ""}}, {"", {}},
      {"one\r\ntwo\r\nthree", {"one\r", "two\r", "three"}},
  };
  for (std::size_t window : {1, 2, 3, 4096, 0}) {
    setReaderWindowForTests(window);
    for (const auto& c : cases) {
      FileBufferedReader reader(folder.write("f", c.first));
      EXPECT_TRUE(reader.isOpen());
      std::vector<int> down(static_cast<std::size_t>(reader.numLines()));
      std::iota(down.begin(), down.end(), 0);
      EXPECT_EQ(rowsOf(reader, down), c.second) << testing::PrintToString(c.first) << window;
      EXPECT_EQ(reader.getLine(reader.numLines()), "");
    }
  }
}

// Rows of every length around the window's (4096) and longer, in a file of
// many windows: whatever the order rows are asked in, each reads
// whole and as written.
TEST_F(FileBufferedReaderTest, EveryRowReadsAsWrittenInAnyOrder) {
  const std::size_t lengths[] = {0, 1, 80, 4094, 4095, 4096, 4097, 9000, 300, 2047, 2048, 15};
  StringList rows;
  for (std::size_t i = 0; i < 180; ++i) {
    const std::size_t length = lengths[i % (sizeof lengths / sizeof *lengths)];
    String row = std::to_string(i) + ":";
    row.resize(length, static_cast<char>('a' + i % 26));
    if (i % 7 == 0 && length > 0) row.back() = '\r';
    rows.push_back(row);
  }
  std::vector<int> down(rows.size());
  std::iota(down.begin(), down.end(), 0);
  const std::vector<int> up(down.rbegin(), down.rend());
  std::vector<int> shuffled = down;
  std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));

  for (std::size_t window : {4096, 1000, 7}) {
    setReaderWindowForTests(window);
    for (bool finalFeed : {true, false}) {
      FileBufferedReader reader(folder.write("f", joined(rows, finalFeed)));
      ASSERT_EQ(reader.numLines(), static_cast<int>(rows.size()));
      for (const auto& order : {down, up, shuffled, down}) {
        EXPECT_EQ(rowsOf(reader, order), rows) << window << (finalFeed ? " final feed" : "");
      }
    }
  }
}

TEST_F(FileBufferedReaderTest, AFileReplacedOrRemovedAfterOpeningReadsAsOpened) {
  setReaderWindowForTests(64);
  StringList rows;
  for (int i = 0; i < 50; ++i) rows.push_back("row " + std::to_string(i));
  const std::string path = folder.write("f", joined(rows, true));
  FileBufferedReader replaced(path);
  ASSERT_EQ(::rename(folder.write("other", "new\ncontent\n").c_str(), path.c_str()), 0);
  FileBufferedReader removed(path);
  ASSERT_EQ(::unlink(path.c_str()), 0);

  for (int row : {49, 0, 25, 26, 24}) EXPECT_EQ(replaced.getLine(row), rows[row]) << row;
  EXPECT_EQ(removed.numLines(), 2);
  EXPECT_EQ(removed.getLine(1), "content");
}

// Rows of 100 bytes. They keep the bounds found at opening: bytes cut off
// read as missing, bytes added make no rows.
TEST_F(FileBufferedReaderTest, AFileThatChangesSizeAfterOpeningReadsShortOrAsBefore) {
  setReaderWindowForTests(4096);
  StringList rows;
  for (int i = 0; i < 400; ++i) rows.push_back(std::to_string(1000 + i) + String(95, '.'));
  std::string content = joined(rows, false);
  const std::string path = folder.write("f", content);
  FileBufferedReader shortened(path);
  FileBufferedReader grown(path);
  EXPECT_EQ(shortened.getLine(300), rows[300]);
  ASSERT_EQ(::truncate(path.c_str(), 20050), 0);
  EXPECT_EQ(shortened.getLine(299), "");  // just above the window, in bytes now gone

  StringList expected(rows.begin(), rows.begin() + 200);
  expected.push_back(rows[200].substr(0, 50));
  expected.resize(rows.size());
  std::vector<int> down(rows.size());
  std::iota(down.begin(), down.end(), 0);
  EXPECT_EQ(rowsOf(shortened, down), expected);
  EXPECT_EQ(rowsOf(shortened, std::vector<int>(down.rbegin(), down.rend())), expected);
  EXPECT_EQ(shortened.numLines(), 400);

  std::ofstream(path, std::ios::binary) << content << "\nadded\n";
  EXPECT_EQ(grown.numLines(), 400);
  EXPECT_EQ(rowsOf(grown, down), rows);
  EXPECT_EQ(grown.getLine(400), "");
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

// A window that cannot be had (the file, sparse, is larger than the address
// space) fails the constructor, and the descriptor it opened is closed.
TEST_F(FileBufferedReaderTest, AConstructorThatThrowsClosesItsFile) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator aborts on such a request instead of throwing";
#endif
  char name[] = "/dev/shm/reader-XXXXXX";  // sparse files this large need tmpfs
  const int fd = ::mkstemp(name);
  if (fd < 0) GTEST_SKIP() << "no /dev/shm here";
  const bool sized = ::ftruncate(fd, off_t(1) << 50) == 0;
  ::close(fd);
  if (!sized) {
    ::unlink(name);
    GTEST_SKIP() << "cannot make a sparse file of a petabyte here";
  }
  const auto openDescriptors = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                         std::filesystem::directory_iterator());
  };
  setReaderWindowForTests(std::size_t(-1));
  const auto before = openDescriptors();
  EXPECT_ANY_THROW(FileBufferedReader{name});
  EXPECT_EQ(openDescriptors(), before);
  ::unlink(name);
}

// Opening a 48 MB file and reading every row down and back up adds a window
// and the row offsets to resident memory, not the file: a reader that held
// the file (or mapped it whole) would add at least 48 MB.
TEST(FileBufferedReader, ResidentMemoryDoesNotGrowWithTheFile) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator keeps freed memory resident";
#endif
  TestFolder folder;
  const std::string path = folder / "large";
  constexpr int kRows = 240000;
  {
    std::ofstream out(path, std::ios::binary);
    const String padding(190, 'x');
    for (int i = 0; i < kRows; ++i) out << i << padding << "\r\n";
  }
  const long long growth = Portals::testing::residentPeakGrowth([&] {
    const FileBufferedReader reader(path);
    std::size_t bytes = 0;
    for (int row = 0; row < reader.numLines(); ++row) bytes += reader.getLine(row).size();
    for (int row = reader.numLines(); row-- > 0;) bytes += reader.getLine(row).size();
    return reader.numLines() == kRows && bytes > std::size_t(kRows) * 2 * 190;
  });
  if (growth == -1) GTEST_SKIP() << "no resettable peak of resident memory here";
  ASSERT_NE(growth, -2) << "the rows did not read back";
  EXPECT_LT(growth, 8LL << 20) << growth / 1048576 << " MB";
}

}  // namespace
}  // namespace Support
}  // namespace ORLIX
