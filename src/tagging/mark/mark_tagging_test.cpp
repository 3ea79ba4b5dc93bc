#include "tagging/mark/mark_tagging.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "portal/failing_renames.h"
#include "portal/host/support.h"
#include "portal/test_host.h"
#include "tagging/resident_peak.h"
#include "tagging/small_file_system.h"

namespace ORLIX {
namespace Portals {
namespace {

using Support::File;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::TestHost;

String readAll(const String& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

class MarkEngine : public ::testing::Test {
 protected:
  // A tag file with the given tag lines after the two default lines.
  String tagFile(const String& name, const String& tagLines) {
    return dir.write(name, "$ File type, version\nmarking, 1\n\\s\n10\n" + tagLines);
  }
  bool mark(const StringList& files, const StringList& tagFiles) {
    return engine.processInputTags({{"inputFilepaths", joinList(files)},
                                    {"inputTagFilepaths", joinList(tagFiles)}},
                                   nullptr, message);
  }
  bool extract(const String& file, const String& tagFilePath) {
    return engine.processOutputTags({{"analysisName", "a1"},
                                     {"analysisDir", "dir1"},
                                     {"outputFilepaths", file},
                                     {"outputTagFilepaths", tagFilePath}},
                                    nullptr, message);
  }
  // "name=value" for each value report, "name!message" for each error report.
  StringList reports() const {
    StringList out;
    for (const auto& r : host.service.reports) {
      if (r.context["errorInCall"] == "true") {
        out.push_back(r.name + "!" + r.context["message"]);
      } else {
        out.push_back(r.name + "=" + (r.values.numbers.empty()
                                          ? r.values.texts.at(0)
                                          : std::to_string(r.values.numbers.at(0))));
      }
    }
    return out;
  }

  ScopedEnv noStages{"QZN_PRESERVE_TAGGED_FILE_STAGES", nullptr};
  TempFolder dir;
  TestHost host;
  MarkTagging engine{&host};
  String message;
};

TEST_F(MarkEngine, RightmostFieldsAreWrittenFirstSoValuesWithDelimitersCannotShiftThem) {
  host.service.parameters = {{"a", "1 2"}, {"b", "B"}, {"c", "3 4"}, {"d", "D"}};
  const String input = dir.write("in.txt", "p q r s t\nk l m n o p q r s t u\n");
  const String tags = tagFile("M_in_a1_in.txt",
                              "free, 1,\\s, 2, T, a, \nfree, 1,\\s, 5, T, b, \n"
                              "free, 2,\\s, 5, T, c, \nfree, 2,\\s, 10, T, d, ");
  ASSERT_TRUE(mark({input}, {tags})) << message;
  // Row 2: "10" sorts before "5", so column 5 is written first and shifts column 10.
  EXPECT_EQ(readAll(input), "p 1 2 r s B\nk l m n 3 4 p q r D t u\n");
  EXPECT_FALSE(File::exists(input + ".temp"));
}

TEST_F(MarkEngine, LineEndsAreKeptExceptThatATaggedLastLineGetsALineFeed) {
  host.service.parameters = {{"x", "9"}};
  const String untaggedEnd = dir.write("a.txt", "v 1\r\nw 2\r\nlast");
  const String taggedEnd = dir.write("b.txt", "w 2\r\nv 1 \r");
  const String tags = tagFile("M_in_a1_x.txt", "free, 1,\\s, 1, T, x, ");
  const String tags2 = tagFile("M_in_a1_y.txt", "fixed, 2,2.1, 2, T, x, ");
  ASSERT_TRUE(mark({untaggedEnd, taggedEnd}, {tags, tags2})) << message;
  EXPECT_EQ(readAll(untaggedEnd), "9 1\r\nw 2\r\nlast");
  EXPECT_EQ(readAll(taggedEnd), "w 2\r\nv 9 \r\n");
}

// Only a line that gets a value changes, and only in its fields: a carriage
// return ends its line, a value equal to the field's changes no byte, and a
// line whose tags write nothing (an unknown mode) keeps even a missing line
// feed. NUL bytes and lone carriage returns are characters like any other.
TEST_F(MarkEngine, LinesKeepTheirOwnEndsAndAFileGettingItsOwnValuesStaysByteForByte) {
  host.service.parameters = {{"x", "9"}, {"same", "7"}, {"w", "34"}};
  const String crlf = dir.write("crlf.txt", "a 1\r\nk=12\r\nb 2\r\n");
  const String binary = dir.write("bin.txt", String("\0\x01\r\0 7\r\n\x02\r\x03\n\xff\xfe", 14));
  const String inert = dir.write("inert.txt", "a 1\nlast");
  const String crlfTags = tagFile("M_in_a1_crlf.txt", "free, 1,\\s, 2, T, x, \n"
                                                      "fixed, 2,2.*, 2, T, w, ");
  const String binaryTags = tagFile("M_in_a1_bin.txt", "free, 1,\\s, 2, T, same, ");
  const String inertTags = tagFile("M_in_a1_inert.txt", "other, 2,\\s, 1, T, x, ");
  ASSERT_TRUE(mark({crlf, binary, inert}, {crlfTags, binaryTags, inertTags})) << message;
  EXPECT_EQ(message, "");
  EXPECT_EQ(readAll(crlf), "a 9\r\nk=34\r\nb 2\r\n");
  EXPECT_EQ(readAll(binary), String("\0\x01\r\0 7\r\n\x02\r\x03\n\xff\xfe", 14));
  EXPECT_EQ(readAll(inert), "a 1\nlast");
}

// However the input is spelled, marking the tag file itself would overwrite
// the tag lines every later run reads.
TEST_F(MarkEngine, AnInputThatIsATagFileOfTheCallIsRefused) {
  host.service.parameters = {{"x", "5"}};
  const String tags = tagFile("M_in_a1_self.txt", "free, 5,\\s, 1, T, x, ");
  const String before = readAll(tags);
  const String otherSpelling = dir.path() + "/sub/../M_in_a1_self.txt";
  ::mkdir(dir.file("sub").c_str(), 0755);
  ASSERT_EQ(::link(tags.c_str(), dir.file("linked.txt").c_str()), 0);
  const String plain = dir.write("plain.txt", "x 0\n");
  const String plainTags = tagFile("M_in_a1_plain.txt", "free, 1,\\s, 2, T, x, ");

  EXPECT_FALSE(mark({otherSpelling}, {tags}));
  EXPECT_EQ(message, "ERROR: The input file " + otherSpelling + " is the tag-definition file " +
                         tags + "; marking it would overwrite the tags it holds, so it was "
                         "left unchanged.");
  message.clear();
  EXPECT_FALSE(mark({plain, dir.file("linked.txt")}, {plainTags, tags}));
  EXPECT_EQ(message, "ERROR: The input file " + dir.file("linked.txt") +
                         " is the tag-definition file " + tags +
                         "; marking it would overwrite the tags it holds, so it was left "
                         "unchanged.");
  EXPECT_EQ(readAll(tags), before);
  EXPECT_EQ(readAll(plain), "x 5\n");
  EXPECT_FALSE(File::exists(tags + ".temp"));
}

TEST_F(MarkEngine, AFailedReplacementStopsAndLeavesTheFileAsItWas) {
  host.service.parameters = {{"x", "7"}};
  const String first = dir.write("first.txt", "a b\n");
  const String second = dir.write("second.txt", "a b\nc\nd e f\n");
  const String third = dir.write("third.txt", "a b\n");
  const String tags1 = tagFile("M_in_a1_first.txt", "free, 1,\\s, 2, T, x, ");
  const String tags2 = tagFile("M_in_a1_second.txt", "free, 3,\\s, 3, T, x, \n"
                                                     "free, 2,\\s, 2, T, x, ");
  EXPECT_FALSE(mark({first, second, third}, {tags1, tags2, tags1}));
  EXPECT_EQ(message,
            "ERROR: Cannot write column 2 on line 2 of " + second +
                ": the line has only 1 tokens separated by the delimiters \" \".");
  EXPECT_EQ(readAll(first), "a 7\n");
  EXPECT_EQ(readAll(second), "a b\nc\nd e f\n");
  EXPECT_EQ(readAll(second + ".temp"), "a b\n");
  EXPECT_EQ(readAll(third), "a b\n");
}

TEST_F(MarkEngine, AFixedTagWhoseWidthsCannotGiveItsColumnWritesNothing) {
  const String input = dir.write("in.txt", "0123456789ABCDEF\n");
  const String tags = tagFile("M_in_a1_in.txt", "fixed, 1,4.0, 2, T, x, ");
  EXPECT_FALSE(mark({input}, {tags}));
  EXPECT_EQ(readAll(input), "0123456789ABCDEF\n");
  EXPECT_EQ(message,
            "ERROR: Invalid column width \"0\" in the fixed-width column list: every width must "
            "be a number of at least 1.");
}

TEST_F(MarkEngine, ARefusedRenameLeavesTheInputAsItWasAndTheMarkedFileBeside) {
  host.service.parameters = {{"x", "5"}};
  const String input = dir.write("in.txt", "x 0\n");
  testing::FailingRenames refusing(".temp");
  EXPECT_FALSE(mark({input}, {tagFile("M_in_a1_in.txt", "free, 1,\\s, 2, T, x, ")}));
  EXPECT_EQ(refusing.refused(), 1);
  EXPECT_EQ(message, "ERROR: Could not rename the marked file " + input + ".temp to " + input +
                         "; the input file was not updated.");
  EXPECT_EQ(readAll(input), "x 0\n");
  EXPECT_EQ(readAll(input + ".temp"), "x 5\n");
}

TEST_F(MarkEngine, FileStagesAreKeptOnRequest) {
  ScopedEnv stages{"QZN_PRESERVE_TAGGED_FILE_STAGES", "Yes"};
  host.service.parameters = {{"x", "5"}};
  const String input = dir.write("in.txt", "x 0\n");
  ASSERT_TRUE(mark({input}, {tagFile("M_in_a1_in.txt", "free, 1,\\s, 2, T, x, ")})) << message;
  EXPECT_EQ(readAll(input), "x 5\n");
  EXPECT_EQ(readAll(input + ".orig"), "x 0\n");
  EXPECT_EQ(readAll(input + ".afterMarking"), "x 5\n");
}

TEST_F(MarkEngine, AnInputThatCannotBeMarkedIsReportedAndLeftAlone) {
  const String tags = tagFile("M_in_a1_in.txt", "free, 1,\\s, 2, T, x, ");
  EXPECT_FALSE(mark({dir.file("gone.txt")}, {tags}));
  EXPECT_EQ(message, "ERROR: Cannot open the input file " + dir.file("gone.txt") +
                         " to write the parameter values into it.");

  // A folder in the way of F.temp: no one, not even root, can create it.
  message.clear();
  const String input = dir.write("in.txt", "x 0\n");
  ::mkdir((input + ".temp").c_str(), 0755);
  EXPECT_FALSE(mark({input}, {tags}));
  EXPECT_EQ(message, "ERROR: Cannot write the marked version of the input file " + input +
                         " to " + input + ".temp; the input file was not changed.");
  EXPECT_EQ(readAll(input), "x 0\n");
}

// A folder where a file belongs reads like a file that cannot be opened; it
// is neither replaced nor left with a ".temp" beside it.
TEST_F(MarkEngine, AFolderGivenAsAFileReadsLikeOneThatCannotBeOpened) {
  const String folder = dir.file("deck.txt");
  ::mkdir(folder.c_str(), 0755);
  EXPECT_FALSE(mark({folder}, {tagFile("M_in_a1_deck.txt", "free, 1,\\s, 1, T, x, ")}));
  EXPECT_EQ(message, "ERROR: Cannot open the input file " + folder +
                         " to write the parameter values into it.");
  EXPECT_FALSE(File::exists(folder + ".temp"));
  struct stat info {};
  EXPECT_TRUE(::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode));

  message.clear();
  EXPECT_FALSE(extract(folder, tagFile("M_out_a1_deck.txt", "free, 1,\\s, 1, T, n, ")));
  EXPECT_EQ(message, "NOTE: Reading the tagged response values of the output file " + folder +
                         ".\nERROR: Cannot open the output file " + folder +
                         " to read the response values from it.");
}

// A small file system of its own makes the disk full; the part of the marked
// file that fitted must not stay behind and keep it full.
TEST_F(MarkEngine, AFullDiskLeavesTheInputAsItWasAndNoPartialTempFile) {
  testing::SmallFileSystem small(dir.file("small"), "256k");
  if (!small.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
  host.service.parameters = {{"x", "5"}};
  String content = "x 0\n";
  while (content.size() < 160 * 1024) content += "GRID 1 2 3 4 5 6 7 8 9 10 11 12 13\n";
  const String input = dir.write("small/deck.txt", content);
  EXPECT_FALSE(mark({input}, {tagFile("M_in_a1_deck.txt", "free, 1,\\s, 2, T, x, ")}));
  EXPECT_EQ(message, "ERROR: Cannot write the marked version of the input file " + input +
                         " to " + input + ".temp; the input file was not changed.");
  EXPECT_EQ(readAll(input), content);
  EXPECT_FALSE(File::exists(input + ".temp"));
}

// One line of 64 MB as the target: read into memory once, its value written
// in place, and written out from there. Two copies would show as 128 MB.
TEST_F(MarkEngine, ALongTaggedLineIsHeldInMemoryOnce) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator keeps freed memory resident";
#endif
  constexpr std::size_t kLine = std::size_t(64) << 20;
  const String input = dir.file("long.txt");
  {
    std::ofstream out(input, std::ios::binary);
    out << "x 1 " << String(kLine, 'a') << " end\r\nnext 2\n";
  }
  host.service.parameters = {{"x", "22"}};
  const String tags = tagFile("M_in_a1_long.txt", "free, 1,\\s, 2, T, x, ");
  const long long growth = testing::residentPeakGrowth([&] { return mark({input}, {tags}); });
  if (growth == -1) GTEST_SKIP() << "no resettable peak of resident memory here";
  RecordProperty("peakGrowthMegabytes", static_cast<int>(growth >> 20));
  std::ifstream marked(input, std::ios::binary | std::ios::ate);
  const long long size = marked.tellg();
  String head(8, '\0');
  marked.seekg(0).read(&head[0], 8);
  std::remove(input.c_str());
  EXPECT_EQ(head, "x 22 aaa");
  EXPECT_EQ(size, static_cast<long long>(kLine) + 4 + 1 + 6 + 7);
  EXPECT_GT(growth, 0);
  EXPECT_LT(growth, static_cast<long long>(kLine) * 5 / 4) << growth / 1048576 << " MB";
}

TEST_F(MarkEngine, WithoutTheHostServiceNothingIsDone) {
  TestHost noService;
  noService.offerService = false;
  MarkTagging lonely{&noService};
  EXPECT_FALSE(lonely.processInputTags({}, nullptr, message));
  EXPECT_FALSE(lonely.processOutputTags({}, nullptr, message));
}

TEST_F(MarkEngine, EachResponseIsDeliveredOrFailsOnItsOwn) {
  host.service.analysisProperties["dir1"]["responseDataType#n"] = {
      {"responseDataType", "Numeric"}};
  host.service.analysisProperties["dir1"]["responseDataType#bad"] = {
      {"responseDataType", "Numeric"}};
  const String output = dir.write("r.txt", "h\nv 1.5e3 abc\r\nf  12.25\n");
  const String tags = tagFile("M_out_a1_r.txt",
                              "free, 2,\\s, 2, T, n, \nfree, 2,\\s, 3, T, text, \n"
                              "free, 2,\\s, 3, T, bad, \nfree, 2,\\s, 4, T, missing, \n"
                              "fixed, 3,3.*, 2, T, rest, \nfree, 9,\\s, 1, T, past, ");
  EXPECT_FALSE(extract(output, tags));
  EXPECT_EQ(reports(), (StringList{
                           "n=1500.000000",
                           "text=abc\r",
                           "bad!The value of the numeric response bad is not a number: \"abc\r\".",
                           "missing!Could not read the value of response missing from its "
                           "tagged field.",
                           "rest=12.25",
                           "past!No value for response past: its tag points at line 9, which "
                           "lies past the end of r.txt."}));
  EXPECT_EQ(message, "NOTE: Reading the tagged response values of the output file " + output +
                         ".\nERROR: Cannot read column 4 on line 2 of " + output +
                         ": the line has only 3 tokens separated by the delimiters \" \".");
}

TEST_F(MarkEngine, AMissingOutputFileStopsExtraction) {
  const String tags = tagFile("M_out_a1_r.txt", "free, 1,\\s, 1, T, n, ");
  EXPECT_FALSE(extract(dir.file("none.txt"), tags));
  EXPECT_EQ(message, "NOTE: Reading the tagged response values of the output file " +
                         dir.file("none.txt") + ".\nERROR: Cannot open the output file " +
                         dir.file("none.txt") + " to read the response values from it.");
  EXPECT_TRUE(host.service.reports.empty());
}

TEST_F(MarkEngine, XmlTagAttributesAndDocumentDefaults) {
  pugi::xml_document document;
  document.append_child("Tags").append_attribute("delims") = "old";
  engine.writeDocumentAttributes(document, {{"widths", "8.*"}});
  EXPECT_STREQ(document.child("Tags").attribute("delims").value(), "\\,;\"=()'\\t\\s");
  EXPECT_STREQ(document.child("Tags").attribute("widths").value(), "8.*");

  TagData tag;
  tag.add("col", "3");
  tag.add("row", "12");
  pugi::xml_node element = document.child("Tags").append_child("tag");
  engine.writeTagAttributes(element, tag);
  std::ostringstream xml;
  element.print(xml, "", pugi::format_raw);
  EXPECT_EQ(xml.str(), "<tag row=\"12\" col=\"3\" delims=\"\"/>");

  TagData read;
  engine.readTagAttributes(element, read);
  ASSERT_EQ(read.attributes.size(), 3u);
  EXPECT_EQ(read.attributes[0].key + read.attributes[1].key + read.attributes[2].key,
            "rowcoldelims");
  EXPECT_EQ(read.get("row") + read.get("col"), "123");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
