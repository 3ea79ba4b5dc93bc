#include "tagging/script/script_tag_file.h"

#include <gtest/gtest.h>

#include "portal/host/support.h"
#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::readWholeFile;
using testing::TempFolder;

TagData scriptTag(const String& names, const String& code) {
  TagData tag;
  tag.paramName = names;
  tag.add("mode", "script");
  tag.add("code", code);
  return tag;
}

class ScriptTagFile : public ::testing::Test {
 protected:
  StringStringMap props() const {
    return {{"destDir", dir.path()}, {"analysisName", "a1"}, {"version", "7.2"}};
  }
  int read(const String& path, TagList& tags, bool isInput = true) {
    return readScriptTagFile(path, {{"inputFilename", "deck.dat"}, {"outputFilename", "r.out"}},
                             tags, isInput, message);
  }

  TempFolder dir;
  StringStringMap outData;
  String message;
};

TEST_F(ScriptTagFile, IsWrittenWithItsHeaderAndOneBlockPerTag) {
  TagList tags{scriptTag("x1, x2", "SET_PARAMETER_LIST(%names%)\nGOTO_TOP"),
               scriptTag("y", "GOTO_END")};
  ASSERT_TRUE(writeScriptTagFile("deck.dat", tags, props(), outData, true, message));
  EXPECT_EQ(readWholeFile(dir.file("S_in_a1_deck.dat")),
            "$ File type, version\n"
            "scripting, 7.2\n"
            "$ Tag definition file: deck.dat\n"
            "SCRIPTING\n"
            "$! Number of tags: 2\n"
            "$! Start tag script\n"
            "SET_PARAMETER_LIST(x1, x2)\n"
            "GOTO_TOP\n"
            "$! End tag script\n"
            "\n"
            "$! Start tag script\n"
            "GOTO_END\n"
            "$! End tag script\n"
            "\n");
  EXPECT_EQ(outData, (StringStringMap{{"deck.dat_intagfile", "S_in_a1_deck.dat"}}));
  EXPECT_EQ(message, "");
}

TEST_F(ScriptTagFile, ForOutputsWithoutADestinationFolderOnlyHandsBackItsName) {
  TagList tags{scriptTag("r", "GOTO_TOP")};
  StringStringMap noFolder = props();
  noFolder.erase("destDir");
  ASSERT_TRUE(writeScriptTagFile("r.out", tags, noFolder, outData, false, message));
  EXPECT_EQ(outData, (StringStringMap{{"r.out_outtagfile", "S_out_a1_r.out"}}));
}

TEST_F(ScriptTagFile, WithoutTagsIsNotWritten) {
  TagList none;
  EXPECT_TRUE(writeScriptTagFile("deck.dat", none, props(), outData, true, message));
  EXPECT_FALSE(Support::File::exists(dir.file("S_in_a1_deck.dat")));
  EXPECT_TRUE(outData.empty());
}

TEST_F(ScriptTagFile, ThatCannotBeWrittenIsAnErrorAndItsNameIsNotHandedBack) {
  TagList tags{scriptTag("r", "GOTO_TOP")};
  StringStringMap missing = props();
  missing.set("destDir", dir.file("no/such/folder"));
  EXPECT_FALSE(writeScriptTagFile("deck.dat", tags, missing, outData, true, message));
  EXPECT_EQ(message, "ERROR: Could not write the script tag-definition file " +
                         dir.file("no/such/folder") + "/S_in_a1_deck.dat.");
  EXPECT_TRUE(outData.empty());
}

TEST_F(ScriptTagFile, ReadsEachScriptWithItsParameterListTakenOut) {
  const String path = dir.write("S_in_a1_deck.dat",
                                "$ File type, version\nscripting, 7.2\n$ x\nSCRIPTING\n"
                                "$! Number of tags: 2\n"
                                "$! Start tag script\n"
                                "  SET_PARAMETER_LIST(x1, x2)  \n"
                                "GOTO_STRING(a, 1)\n"
                                "$! End tag script\n"
                                "ignored between scripts\n"
                                "$! Start tag script\n"
                                "GOTO_TOP\n"
                                "$! End tag script\n"
                                "$! Start tag script\n"
                                "never closed\n");
  TagList tags;
  ASSERT_EQ(read(path, tags), 0);
  ASSERT_EQ(tags.size(), 2u);
  EXPECT_EQ(tags.front().paramName, "x1, x2");
  EXPECT_EQ(tags.front().get("code"), "  SET_PARAMETER_LIST(%names%)  \nGOTO_STRING(a, 1)");
  EXPECT_EQ(tags.front().get("mode"), "script");
  EXPECT_EQ(tags.front().get("filename"), "deck.dat");
  EXPECT_EQ(tags.back().paramName, "");
  EXPECT_EQ(tags.back().get("code"), "GOTO_TOP");
}

TEST_F(ScriptTagFile, KeepsItsParameterListThroughAWriteAndARead) {
  TagList tags{scriptTag("p, q", "SET_PARAMETER_LIST(%names%)\nLOOP(2)\nEND_LOOP")};
  ASSERT_TRUE(writeScriptTagFile("deck.dat", tags, props(), outData, true, message));
  TagList back;
  ASSERT_EQ(read(dir.file("S_in_a1_deck.dat"), back), 0);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back.front().paramName, "p, q");
  EXPECT_EQ(back.front().get("code"), "SET_PARAMETER_LIST(%names%)\nLOOP(2)\nEND_LOOP");
}

TEST_F(ScriptTagFile, ReadFromCrLfLinesKeepsNoCarriageReturnAtALineEnd) {
  const String path = dir.write("S_out_a1_r.out",
                                "$ File type, version\r\nscripting, 1\r\n"
                                "$! Start tag script\r\nGOTO_TOP\r\nGOTO_END\r\r\n"
                                "$! End tag script\r\n");
  TagList tags;
  ASSERT_EQ(read(path, tags, false), 0);
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags.front().get("code"), "GOTO_TOP\nGOTO_END");
  EXPECT_EQ(tags.front().get("filename"), "r.out");
}

TEST_F(ScriptTagFile, OfAnotherEngineIsNotRead) {
  TagList tags;
  EXPECT_EQ(read(dir.write("M_in_a1_deck.dat", "$ File type, version\nmarking, 1\n"), tags), -1);
  EXPECT_EQ(read(dir.write("x", "$\nScripting, 1\n"), tags), -1);
  EXPECT_EQ(read("", tags), -1);
  EXPECT_TRUE(tags.empty());
  EXPECT_EQ(message, "");
}

// A folder opens like a file and reads as empty; it must not pass for a file
// of another engine.
TEST_F(ScriptTagFile, ThatIsMissingOrAFolderCannotBeOpenedAndIsNamedInAPlainLine) {
  for (const String& path : {dir.file("missing"), dir.path()}) {
    TagList tags;
    message.clear();
    EXPECT_EQ(read(path, tags), 1) << path;
    EXPECT_EQ(message, "Cannot open the script tag-definition file " + path + ".");
  }
}

TEST(ScriptParameterList, IsTakenFromTheFirstParenthesesAfterTheKeyword) {
  String code = "$ x\nSET_PARAMETER_LIST(a,b) (c)\nGOTO_STRING(d, 1)";
  String names;
  takeParameterList(code, names);
  EXPECT_EQ(names, "a,b");
  EXPECT_EQ(code, "$ x\nSET_PARAMETER_LIST(%names%) (c)\nGOTO_STRING(d, 1)");
}

TEST(ScriptParameterList, IsLeftAloneWhenUnclosedOrWrittenWithABlank) {
  for (const char* text : {"SET_PARAMETER_LIST(a", "SET_PARAMETER_LIST (a)", "GOTO_TOP"}) {
    String code = text;
    String names;
    takeParameterList(code, names);
    EXPECT_EQ(code, text);
    EXPECT_EQ(names, "");
  }
}

TEST(ScriptParameterList, IsPutBackOnlyInPlaceOfThePlaceholder) {
  EXPECT_EQ(restoreParameterList("SET_PARAMETER_LIST(%names%)\n%names%", "a"),
            "SET_PARAMETER_LIST(a)\n%names%");
  EXPECT_EQ(restoreParameterList("SET_PARAMETER_LIST(b)", "a"), "SET_PARAMETER_LIST(b)");
  EXPECT_EQ(restoreParameterList("GOTO_TOP", "a"), "GOTO_TOP");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
