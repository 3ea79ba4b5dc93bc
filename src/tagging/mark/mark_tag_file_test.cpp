#include "tagging/mark/mark_tag_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "portal/host/support.h"
#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;

String readAll(const String& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

TagData markTag(const String& file, const String& row, const String& delims, const String& col,
                const String& name) {
  TagData tag;
  tag.path = {"G", name};
  tag.paramName = name;
  tag.paramType = "Continuous";
  tag.add("mode", "free");
  tag.add("row", row);
  tag.add("delims", delims);
  tag.add("col", col);
  tag.add("format", "%g");
  tag.add("filename", file);
  return tag;
}

class MarkTagFile : public ::testing::Test {
 protected:
  StringStringMap props() const {
    return {{"analysisName", "a1"}, {"destDir", dir.path()}, {"version", "7.2"}};
  }
  ScopedEnv noKeys{"QZN_WRITE_TAGKEY", nullptr};
  TempFolder dir;
  StringStringMap outData;
  String message;
};

TEST_F(MarkTagFile, WritesTheHeaderAndOneLinePerTagOfTheFile) {
  const TagList tags{markTag("model.txt", "12", "\\s", "3", "x1"),
                     markTag("other.txt", "1", ",", "1", "skipped"),
                     markTag("model.txt", "4", "\\,;", "10", "x2")};
  ASSERT_TRUE(writeMarkTagFile("model.txt", tags, props(), outData, true, message));
  EXPECT_EQ(message, "");
  EXPECT_EQ(outData["model.txt_intagfile"], "M_in_a1_model.txt");
  EXPECT_EQ(readAll(dir.file("M_in_a1_model.txt")),
            "$ File type, version\n"
            "marking, 7.2\n"
            "$ Tag definition file: model.txt\n"
            "$ Tag type, Num tags\n"
            "MARKING, 2\n"
            "$ Default delimited (free) parser (\\s=space \\t=tab \\,=comma \\\\=backslash)\n"
            "\\,;\"=()'\\t\\s\n"
            "$ Default fixed parser (*=remainder of line)\n"
            "10\n"
            "$ Mode, Row, Delims, Col, Param type, Param name, Print Fmt\n"
            "free, 12,\\s, 3, Continuous, x1, %g\n"
            "free, 4,\\,;, 10, Continuous, x2, %g");
}

TEST_F(MarkTagFile, KeyLinesAreWrittenWhenTheVariableIsDefinedEvenEmpty) {
  ScopedEnv keys{"QZN_WRITE_TAGKEY", ""};
  StringStringMap p = props();
  p.set("delims", ";");
  p.set("widths", "8.*");
  ASSERT_TRUE(writeMarkTagFile("model.txt", {markTag("model.txt", "1", ";", "2", "y")}, p,
                               outData, false, message));
  EXPECT_EQ(outData["model.txt_outtagfile"], "M_out_a1_model.txt");
  const String content = readAll(dir.file("M_out_a1_model.txt"));
  EXPECT_NE(content.find("\n;\n$ Default fixed parser (*=remainder of line)\n8.*\n"),
            String::npos);
  EXPECT_NE(content.find("Print Fmt\n$ TAGKEY = G.y\nfree, 1,;, 2, Continuous, y, %g"),
            String::npos)
      << content;
}

TEST_F(MarkTagFile, NothingToWriteOrNowhereToWriteIt) {
  ASSERT_TRUE(writeMarkTagFile("model.txt", {markTag("else.txt", "1", ",", "1", "z")}, props(),
                               outData, true, message));
  EXPECT_TRUE(outData.empty());

  StringStringMap noFolder = props();
  noFolder.set("destDir", "");
  ASSERT_TRUE(writeMarkTagFile("model.txt", {markTag("model.txt", "1", ",", "1", "z")},
                               noFolder, outData, true, message));
  EXPECT_EQ(outData["model.txt_intagfile"], "M_in_a1_model.txt");
  EXPECT_FALSE(Support::File::exists(dir.file("M_in_a1_model.txt")));
  EXPECT_EQ(message, "");
}

TEST_F(MarkTagFile, AnUnwritableTargetIsReportedAndNoNameIsHandedBack) {
  StringStringMap p = props();
  p.set("destDir", dir.file("missing/folder"));
  EXPECT_FALSE(writeMarkTagFile("model.txt", {markTag("model.txt", "1", ",", "1", "z")}, p,
                                outData, true, message));
  EXPECT_TRUE(outData.empty());
  EXPECT_EQ(message, "ERROR: Could not write the tag-definition file for model.txt.");
}

TEST_F(MarkTagFile, ReadingBackGivesTheTagsWithTheirFileAndTheDefaults) {
  const TagList tags{markTag("model.txt", "12", "\\,;\\\\", "3", "x1")};
  ASSERT_TRUE(writeMarkTagFile("model.txt", tags, props(), outData, true, message));
  TagList read;
  StringStringMap readData;
  ASSERT_EQ(readMarkTagFile(dir.file("M_in_a1_model.txt"), {{"inputFilename", "m.txt"}}, read,
                            readData, true, message),
            0);
  ASSERT_EQ(read.size(), 1u);
  const TagData& tag = read.front();
  EXPECT_EQ(tag.paramName, "x1");
  EXPECT_EQ(tag.paramType, "Continuous");
  EXPECT_TRUE(tag.path.empty());
  EXPECT_EQ(tag.get("delims"), "\\,;\\\\");
  StringList keys;
  for (const TagAttribute& a : tag.attributes) keys.push_back(a.key + "=" + a.value + a.kind);
  EXPECT_EQ(keys, (StringList{"mode=free", "row=12", "delims=\\,;\\\\", "col=3", "format=%g",
                              "filename=m.txt"}));
  EXPECT_EQ(readData["delims"], "\\,;\"=()'\\t\\s");
  EXPECT_EQ(readData["widths"], "10");
  EXPECT_EQ(message, "");
}

TEST_F(MarkTagFile, ABadTagLineStopsReadingAndKeepsTheTagsBeforeIt) {
  // The count line is not checked against the tag lines; CRLF ends are trimmed.
  const String path = dir.write("M_out_a1_r.txt",
                                "$ c\r\nmarking, 1\r\nMARKING, 9\r\n,\r\n10\r\n\r\n"
                                "fixed, 2,10.*, 2, Numeric, r1, \r\n"
                                "free, 3,\\s, 1, Numeric, r2\r\n"
                                "free, 4,\\s, 1, Numeric, r3, %g\r\n");
  TagList read;
  EXPECT_EQ(readMarkTagFile(path, {{"outputFilename", "r.txt"}}, read, outData, false, message),
            1);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read.front().get("filename"), "r.txt");
  EXPECT_EQ(read.front().get("delims"), "10.*");
  EXPECT_EQ(message, "ERROR: The tag-definition file " + path +
                         " has a tag line without the seven comma-separated fields (mode, row, "
                         "delimiters, column, parameter type, parameter name, print format); the "
                         "tags from that line on were not read.");
}

TEST_F(MarkTagFile, OnlyLowerCaseMarkingFilesAreRead) {
  TagList read;
  EXPECT_EQ(readMarkTagFile(dir.write("M_in_x", "$\nMARKING, 1\n"), {}, read, outData, true,
                            message),
            -1);
  EXPECT_EQ(readMarkTagFile("", {}, read, outData, true, message), -1);
  EXPECT_EQ(message, "");
}

// A folder opens like a file and reads as empty: it must not pass for a file
// of another engine, which would leave its file untagged without a word.
TEST_F(MarkTagFile, AMissingFileOrAFolderCannotBeOpened) {
  TagList read;
  for (const String& path : {dir.file("M_in_gone"), dir.path()}) {
    message.clear();
    EXPECT_EQ(readMarkTagFile(path, {}, read, outData, true, message), 1) << path;
    EXPECT_EQ(message, "ERROR: Cannot open the tag-definition file " + path + ".");
  }
}

TEST(ParseMarkTagLine, OnlyTheDelimiterFieldGetsItsEscapesBack) {
  TagData tag;
  ASSERT_TRUE(parseMarkTagLine("free, 1,\\,\\\\, 2, T, a\\,b, %g", tag));
  EXPECT_EQ(tag.get("delims"), "\\,\\\\");
  EXPECT_EQ(tag.paramName, "a*COMMA*b");
  EXPECT_FALSE(parseMarkTagLine("free, 1, \\s, 2, T, a, %g, extra", tag));
  EXPECT_FALSE(parseMarkTagLine("", tag));
}

// Most lines take a shorter way than through the markers; it must read the same.
TEST(ParseMarkTagLine, EveryLineReadsAsThroughTheMarkers) {
  for (const String line : {"free, 3, \\s, 2, Continuous, width, %8.3f",
                            "free, 3,\\,;\"=()'\\t\\s, 2, T, w, %g",
                            "free, 3, \\\\\\,x\\, 2, T, w, %g",
                            "free, 3, \\\\, 2, T, w, %g",
                            "free, 3, \\, 2, T, w\\, %g",
                            "free, 3, a\\,b, 2, T, w\\\\x, %g",
                            "free, 3, \\",
                            "fixed,12,, 1 ,Integer,n,",
                            " \tfree ,\t1\r, ;, 4, T, p q, %g ",
                            ", , , , , , ",
                            "free, 1, s, 2, T, a, %*d",
                            "free, 1, *SLASH*, 2, T, *COMMA*, %g",
                            "free, 1, s, 2, T, a",
                            "free, 1, s, 2, T, a, %g,",
                            ","}) {
    TagData shortWay, general;
    const bool read = parseMarkTagLine(line, shortWay);
    ASSERT_EQ(read, parseEscapedMarkTagLine(line, general)) << line;
    if (!read) continue;
    EXPECT_EQ(shortWay.paramName, general.paramName) << line;
    EXPECT_EQ(shortWay.paramType, general.paramType) << line;
    for (const char* key : {"mode", "row", "delims", "col", "format"}) {
      EXPECT_EQ(shortWay.get(key), general.get(key)) << line << " " << key;
    }
  }
  TagData tag;
  ASSERT_TRUE(parseMarkTagLine(" \tfree ,\t1\r, ;, 4, T, p q, %g ", tag));
  EXPECT_EQ(tag.get("mode"), "free");
  EXPECT_EQ(tag.get("row"), "1");
  EXPECT_EQ(tag.paramName, "p q");
  EXPECT_EQ(tag.get("format"), "%g");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
