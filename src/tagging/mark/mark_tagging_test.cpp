#include "tagging/mark/mark_tagging.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "portal/failing_renames.h"
#include "portal/host/support.h"
#include "portal/test_host.h"

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
