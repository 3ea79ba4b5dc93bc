#include "portal/chunked_lines.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "portal/line_starts.h"
#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::TempFolder;

// Lines of every length up to well past the window, so that windows end in
// the middle of lines and some lines need a wider window.
String varied() {
  String text;
  for (int i = 0; i < 400; ++i) text += String(static_cast<std::size_t>(i * 37 % 9000), 'x') + "\r\n";
  return text + "last line without feed";
}

TEST(ChunkedLineReader, HandsOutEveryLineWhateverTheWindow) {
  TempFolder dir;
  const String text = varied();
  const String path = dir.write("f.txt", text);
  for (std::size_t window : {4096u, 8192u, 1u << 20}) {
    ChunkedLineReader reader(path, window);
    ASSERT_TRUE(reader.isOpen());
    String joined;
    std::string_view line;
    int count = 0;
    while (reader.next(line)) {
      joined.append(line.data(), line.size()).append("\n");
      ++count;
    }
    EXPECT_EQ(count, 401);
    EXPECT_EQ(joined, text + "\n") << window;
    EXPECT_FALSE(reader.failed());
  }
}

TEST(ChunkedLineReader, RunsOfLinesCoverTheFileExactly) {
  TempFolder dir;
  const String text = varied();
  ChunkedLineReader reader(dir.write("f.txt", text), 4096);
  String joined;
  std::string_view lines;
  while (reader.nextLines(lines)) {
    joined.append(lines.data(), lines.size());
    EXPECT_EQ(reader.offsetOf(lines.data()) + lines.size(), joined.size());
  }
  EXPECT_EQ(joined, text);
}

// A pipe without a writer would hold the open forever; a device may never end.
TEST(ChunkedLineReader, EmptyMissingFolderPipeAndDevicePaths) {
  TempFolder dir;
  std::string_view line;
  ChunkedLineReader empty(dir.write("empty.txt", ""));
  EXPECT_TRUE(empty.isOpen());
  EXPECT_FALSE(empty.next(line));
  EXPECT_FALSE(ChunkedLineReader(dir.file("missing")).isOpen());
  EXPECT_FALSE(ChunkedLineReader(dir.path()).isOpen());
  const String pipe = dir.file("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_FALSE(ChunkedLineReader(pipe).isOpen());
  EXPECT_FALSE(ChunkedLineReader("/dev/zero").isOpen());
}

// A file cut short after it was opened (another program rewriting it) must
// read as failed, not as a shorter file whose update would lose its end.
TEST(ChunkedLineReader, AFileThatShrankWhileOpenReadsAsFailed) {
  TempFolder dir;
  const String path = dir.write("f.txt", String(10000, 'x') + "\n");
  ChunkedLineReader reader(path);
  ASSERT_TRUE(reader.isOpen());
  ASSERT_EQ(::truncate(path.c_str(), 100), 0);
  std::string_view line;
  EXPECT_FALSE(reader.next(line));
  EXPECT_TRUE(reader.failed());
}

// The same cut after the first window was handed out: the windows after it are
// gone (a mapped window would end the process with a bus error here).
TEST(ChunkedLineReader, AFileCutShortInTheMiddleOfItsReadingReadsAsFailed) {
  TempFolder dir;
  String text;
  while (text.size() < (3u << 20)) text += "line " + std::to_string(text.size()) + "\n";
  const String path = dir.write("f.txt", text);
  ChunkedLineReader reader(path, 1u << 20);
  std::string_view lines;
  ASSERT_TRUE(reader.nextLines(lines));
  const std::size_t kept = 3u << 19;
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(kept)), 0);
  std::size_t handedOut = lines.size();
  while (reader.nextLines(lines)) handedOut += lines.size();
  EXPECT_TRUE(reader.failed());
  EXPECT_LE(handedOut, kept);
}

// Small writes, passed-on views of every size (more of them than one system
// write takes, adjacent ones that merge) and a write larger than the
// writer's own buffer come out in the order they went in.
TEST(ChunkedWriter, KeepsTheOrderOfEverythingItIsGiven) {
  TempFolder dir;
  const String source(3u << 20, 'y');
  String expected;
  {
    ChunkedWriter writer(dir.file("copy.txt"));
    for (std::size_t i = 0; i < 3000; ++i) {
      const std::string_view view = std::string_view(source).substr(i % 7, i % 300);
      writer.passOn(view);
      expected += String(view);
      const String own = std::to_string(i) + "\n";
      writer.write(own);
      expected += own;
    }
    // A small write that fills the gathered run: it goes out with the run.
    EXPECT_TRUE(writer.flush());
    writer.passOn(std::string_view(source).substr(0, ChunkedWriter::kRunBytes - 1));
    writer.write("after a full run\n");
    expected += source.substr(0, ChunkedWriter::kRunBytes - 1) + "after a full run\n";
    writer.passOn(std::string_view(source).substr(0, 10));
    writer.passOn(std::string_view(source).substr(10, 2u << 20));  // merges with the last
    expected += source.substr(0, 10 + (2u << 20));
    writer.write(String(3u << 20, 'w'));
    expected += String(3u << 20, 'w');
    writer.writeLine("tail");
    expected += "tail\n";
    EXPECT_TRUE(writer.close());
  }
  EXPECT_EQ(testing::readWholeFile(dir.file("copy.txt")), expected);
}

TEST(ChunkedWriter, ReportsAWriteThatFailed) {
  ChunkedWriter full("/dev/full");
  const String text(600u << 10, 'z');
  full.passOn(text);
  EXPECT_FALSE(full.flush());
  EXPECT_FALSE(full.close());
  ChunkedWriter small("/dev/full");
  small.write("one line\n");
  EXPECT_FALSE(small.close());
  EXPECT_FALSE(ChunkedWriter("/no/such/folder/file").isOpen());
}

TEST(LineStarts, VisitsOnlyWantedLinesWithTheirIndex) {
  FirstBytes wanted{};
  wanted['a'] = true;
  std::vector<std::pair<std::size_t, std::size_t>> seen;
  const std::string_view text = "abc\nxyz\n\naaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\nz\na";
  const std::size_t lines =
      forEachLineStart(text, wanted, [&](std::size_t at, std::size_t index) {
        seen.emplace_back(at, index);
      });
  EXPECT_EQ(lines, 6u);
  EXPECT_EQ(seen, (std::vector<std::pair<std::size_t, std::size_t>>{{0, 0}, {9, 3}, {45, 5}}));
  EXPECT_EQ(forEachLineStart("x\n", wanted, [](std::size_t, std::size_t) {}), 1u);
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
