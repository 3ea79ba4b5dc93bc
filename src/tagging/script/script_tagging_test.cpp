#include "tagging/script/script_tagging.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "portal/failing_renames.h"
#include "portal/host/support.h"
#include "portal/test_host.h"
#include "tagging/small_file_system.h"

namespace ORLIX {
namespace Portals {
namespace {

using Support::File;
using testing::readWholeFile;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::TestHost;

String tagFileText(const StringList& scripts) {
  String text = "$ File type, version\nscripting, 1\n$ Tag definition file: f\nSCRIPTING\n";
  for (const String& script : scripts) {
    text += "$! Start tag script\n" + script + "\n$! End tag script\n\n";
  }
  return text;
}

class ScriptEngine : public ::testing::Test {
 protected:
  bool scriptInputs(const StringList& files, const StringList& tagFiles) {
    return engine.processInputTags(
        {{"inputFilepaths", joinList(files)}, {"inputTagFilepaths", joinList(tagFiles)}}, nullptr,
        message);
  }
  bool scriptOutput(const String& file, const String& tagFile) {
    return engine.processOutputTags({{"analysisName", "a1"},
                                     {"evalId", "3"},
                                     {"outputFilepaths", file},
                                     {"outputTagFilepaths", tagFile}},
                                    nullptr, message);
  }
  // "name=text" for a value, "name!message" for an error.
  StringList reports() const {
    StringList out;
    for (const auto& r : host.service.reports) {
      out.push_back(r.context["errorInCall"] == "true" ? r.name + "!" + r.context["message"]
                                                       : r.name + "=" + r.values.texts.at(0));
    }
    return out;
  }

  ScopedEnv noStages{"QZN_PRESERVE_TAGGED_FILE_STAGES", nullptr};
  TempFolder dir;
  TestHost host;
  ScriptTagging engine{&host};
  String message;
};

TEST_F(ScriptEngine, WritesTheValuesAndReplacesTheFileThroughTemp) {
  host.service.parameters = {{"x", "42"}, {"y", "7"}};
  const String input = dir.write("model.txt", "title\nx = 1\ny = 2\n");
  const String tags = dir.write(
      "S_in_a1_model.txt",
      tagFileText({"SET_PARAMETER_LIST(x, y)\n  SET_RELATIVE_VALUE_FREE(x =, 1, 1, \\s, %g)\n"
                   "NEXT_PARAMETER\nSET_RELATIVE_VALUE_FREE(y =, 1, 1, \\s, %g)"}));
  ASSERT_TRUE(scriptInputs({input}, {tags})) << message;
  // The final line feed of the file is not kept.
  EXPECT_EQ(readWholeFile(input), "title\nx = 42\ny = 7");
  EXPECT_FALSE(File::exists(input + ".temp"));
  EXPECT_EQ(message, "Running the input script for x, y on model.txt.");
}

TEST_F(ScriptEngine, ARefusedRenameLeavesTheInputAsItWasAndTheScriptedFileBeside) {
  host.service.parameters = {{"x", "42"}};
  const String input = dir.write("model.txt", "x = 1\n");
  const String tags = dir.write(
      "S_in_a1_model.txt",
      tagFileText({"SET_PARAMETER_LIST(x)\nSET_RELATIVE_VALUE_FREE(x =, 1, 1, \\s, %g)"}));
  testing::FailingRenames refusing(".temp");
  EXPECT_FALSE(scriptInputs({input}, {tags}));
  EXPECT_EQ(refusing.refused(), 1);
  EXPECT_NE(message.find("ERROR: Could not rename the scripted file " + input + ".temp to " +
                         input + "; the input file was not updated."),
            String::npos)
      << message;
  EXPECT_EQ(readWholeFile(input), "x = 1\n");
  EXPECT_EQ(readWholeFile(input + ".temp"), "x = 42");
}

TEST_F(ScriptEngine, LetsALaterScriptOfAFileSeeTheRowsAnEarlierOneChanged) {
  host.service.parameters = {{"a", "A"}, {"b", "B"}};
  const String input = dir.write("m.txt", "k 1 2\n");
  const String tags =
      dir.write("S_in_a1_m.txt", tagFileText({"SET_PARAMETER_LIST(a)\nSET_VALUE_FREE(2, \\s, %g)",
                                              "SET_PARAMETER_LIST(b)\nGOTO_STRING(A, 1)\n"
                                              "SET_VALUE_FREE(3, \\s, %g)"}));
  ASSERT_TRUE(scriptInputs({input}, {tags})) << message;
  EXPECT_EQ(readWholeFile(input), "k A B");
}

TEST_F(ScriptEngine, StopsAtTheFirstFailingFileAndKeepsTheFilesBeforeIt) {
  host.service.parameters = {{"a", "A"}};
  const String first = dir.write("one.txt", "1\n");
  const String second = dir.write("two.txt", "2\n");
  const String third = dir.write("three.txt", "3\n");
  const String good = dir.write("S_in_a1_one.txt",
                                tagFileText({"SET_PARAMETER_LIST(a)\nSET_VALUE_FREE(1, \\s, x)"}));
  const String bad = dir.write("S_in_a1_two.txt", tagFileText({"OPEN_FILE(x)"}));
  EXPECT_FALSE(scriptInputs({first, second, third}, {good, bad, good}));
  EXPECT_EQ(readWholeFile(first), "A");
  EXPECT_EQ(readWholeFile(second), "2\n");
  EXPECT_EQ(readWholeFile(third), "3\n");
}

// A file no script wrote into comes out byte for byte, its final line feed,
// carriage returns and NUL bytes included: nothing was written into it.
TEST_F(ScriptEngine, AFileNoScriptWroteIntoComesOutByteForByte) {
  const String input = dir.write("m.txt", "a\nb\n");
  const String binary = dir.write("bin.txt", String("\0\r\n\x01\r\r\x02\n", 9));
  const String lookOnly = dir.write("S_in_a1_bin.txt", tagFileText({"GOTO_END\nMOVE_UP(1)"}));
  EXPECT_TRUE(scriptInputs({input, binary}, {dir.file("S_in_a1_gone.txt"), lookOnly}));
  EXPECT_EQ(readWholeFile(input), "a\nb\n");
  EXPECT_EQ(readWholeFile(binary), String("\0\r\n\x01\r\r\x02\n", 9));
  EXPECT_EQ(message, "Cannot open the script tag-definition file " +
                         dir.file("S_in_a1_gone.txt") + ".\nRunning the input script for  on bin.txt.");
}

// A carriage return ends its row: a value written into the row's last field
// leaves it in place. The final line feed goes, as for every file a script
// wrote into.
TEST_F(ScriptEngine, ARowThatGetsAValueKeepsItsCarriageReturn) {
  host.service.parameters = {{"a", "A"}, {"w", "34"}};
  const String input = dir.write("m.txt", "k 1\r\nm=12\r\nz\r\n");
  const String tags = dir.write(
      "S_in_a1_m.txt", tagFileText({"SET_PARAMETER_LIST(a)\nSET_VALUE_FREE(2, \\s, g)",
                                    "SET_PARAMETER_LIST(w)\nMOVE_DOWN(1)\nSET_VALUE_FIXED(3, 9, g)"}));
  ASSERT_TRUE(scriptInputs({input}, {tags})) << message;
  EXPECT_EQ(readWholeFile(input), "k A\r\nm=34\r\nz\r");
}

// However the input is spelled, running its scripts on the tag file itself
// would overwrite the scripts every later run reads.
TEST_F(ScriptEngine, RefusesAnInputThatIsATagFileOfTheCall) {
  host.service.parameters = {{"a", "A"}};
  const String tags = dir.write(
      "S_in_a1_self.txt", tagFileText({"SET_PARAMETER_LIST(a)\nSET_VALUE_FREE(1, \\s, g)"}));
  const String otherSpelling = dir.path() + "/./S_in_a1_self.txt";
  EXPECT_FALSE(scriptInputs({otherSpelling}, {tags}));
  EXPECT_EQ(message, "ERROR: The input file " + otherSpelling +
                         " is the script tag-definition file " + tags +
                         "; running the scripts on it would overwrite the scripts it holds, so "
                         "it was left unchanged.");
  EXPECT_EQ(readWholeFile(tags).substr(0, 20), "$ File type, version");
  EXPECT_FALSE(File::exists(tags + ".temp"));
}

// A folder where a file belongs reads like a file that cannot be opened.
TEST_F(ScriptEngine, TakesAFolderGivenAsAFileForOneThatCannotBeOpened) {
  const String folder = dir.file("m.txt");
  ::mkdir(folder.c_str(), 0755);
  const String tags = dir.write("S_in_a1_m.txt", tagFileText({"GOTO_TOP"}));
  EXPECT_FALSE(scriptInputs({folder}, {tags}));
  EXPECT_FALSE(scriptOutput(folder, tags));
  EXPECT_EQ(message, "ERROR: Cannot open the input file " + folder +
                         " to run its scripts.\nERROR: Cannot open the output file " + folder +
                         " to run its scripts.");
  EXPECT_FALSE(File::exists(folder + ".temp"));
}

// A small file system of its own makes the disk full, both for a file the
// scripts wrote into and for one they only looked at; what fitted of the
// ".temp" must not stay behind and keep the disk full.
TEST_F(ScriptEngine, AFullDiskLeavesTheInputAsItWasAndNoPartialTempFile) {
  testing::SmallFileSystem small(dir.file("small"), "256k");
  if (!small.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
  host.service.parameters = {{"a", "A"}};
  String content = "k 1\n";
  while (content.size() < 160 * 1024) content += "GRID 1 2 3 4 5 6 7 8 9 10 11 12 13\n";
  const String input = dir.write("small/m.txt", content);
  const String writing = dir.write(
      "S_in_a1_m.txt", tagFileText({"SET_PARAMETER_LIST(a)\nSET_VALUE_FREE(2, \\s, g)"}));
  const String looking = dir.write("S_in_a1_look.txt", tagFileText({"GOTO_END"}));
  const String failure = "ERROR: Could not write the scripted version of " + input + " to " +
                         input + ".temp; the input file was not updated.";
  for (const String& tags : {writing, looking}) {
    message.clear();
    EXPECT_FALSE(scriptInputs({input}, {tags}));
    EXPECT_NE(message.find(failure), String::npos) << message;
    EXPECT_EQ(readWholeFile(input), content);
    EXPECT_FALSE(File::exists(input + ".temp"));
  }
}

TEST_F(ScriptEngine, SkipsFilesWithoutATagFileAndFailsOnAFileThatIsMissing) {
  const String tags = dir.write("S_in_a1_m.txt", tagFileText({"GOTO_TOP"}));
  EXPECT_TRUE(scriptInputs({dir.file("untagged.txt")}, {}));
  EXPECT_FALSE(scriptInputs({dir.file("m.txt")}, {tags}));
  EXPECT_FALSE(scriptOutput(dir.file("r.out"), tags));
  EXPECT_EQ(message, "ERROR: Cannot open the input file " + dir.file("m.txt") +
                         " to run its scripts.\nERROR: Cannot open the output file " +
                         dir.file("r.out") + " to run its scripts.");
}

TEST_F(ScriptEngine, KeepsTheFileStagesWhenAskedAndNeverOverwritesAnOriginal) {
  ScopedEnv stages("QZN_PRESERVE_TAGGED_FILE_STAGES", "yes");
  host.service.parameters = {{"a", "A"}};
  const String input = dir.write("m.txt", "k 1\n");
  const String tags =
      dir.write("S_in_a1_m.txt", tagFileText({"SET_PARAMETER_LIST(a)\nSET_VALUE_FREE(2, \\s, g)"}));
  ASSERT_TRUE(scriptInputs({input}, {tags})) << message;
  EXPECT_EQ(readWholeFile(input + ".orig"), "k 1\n");
  EXPECT_EQ(readWholeFile(input + ".afterScripting"), "k A");
  EXPECT_EQ(readWholeFile(input), "k A");

  host.service.parameters = {{"a", "B"}};
  ASSERT_TRUE(scriptInputs({input}, {tags})) << message;
  EXPECT_EQ(readWholeFile(input + ".orig"), "k 1\n");
  EXPECT_EQ(readWholeFile(input + ".afterScripting"), "k B");
  EXPECT_EQ(readWholeFile(input), "k B");
}

TEST_F(ScriptEngine, ReportsAFailedScriptsCurrentResponseAndDropsWhatItHadRead) {
  const String output = dir.write("r.out", "a 1\nb 2\n");
  const String tags =
      dir.write("S_out_a1_r.out",
                tagFileText({"SET_PARAMETER_LIST(p, q)\nGET_VALUE_FREE(2, \\s)\nNEXT_PARAMETER\n"
                             "GET_VALUE_FREE(9, \\s)",
                             "SET_PARAMETER_LIST(z)\nMOVE_DOWN(1)\nGET_VALUE_FREE(1, \\s)"}));
  EXPECT_FALSE(scriptOutput(output, tags));
  EXPECT_EQ(reports(),
            (StringList{"q!The output script stopped while reading response q, so its values "
                        "are missing.",
                        "z=b"}));
}

TEST(ScriptEngineWithoutService, DoesNothing) {
  TestHost host;
  host.offerService = false;
  ScriptTagging engine(&host);
  String message;
  EXPECT_FALSE(engine.processInputTags({{"inputFilepaths", "x"}, {"inputTagFilepaths", "y"}},
                                       nullptr, message));
  EXPECT_FALSE(engine.processOutputTags({{"outputFilepaths", "x"}, {"outputTagFilepaths", "y"}},
                                        nullptr, message));
  EXPECT_EQ(message, "");
}

TEST(ScriptEngineXmlTags, CarryTheScriptAsCData) {
  TestHost host;
  ScriptTagging engine(&host);
  pugi::xml_document document;
  pugi::xml_node element = document.append_child("tag");
  TagData tag;
  tag.add("code", "GOTO_STRING(<a>, 1)\nGOTO_TOP");
  engine.writeTagAttributes(element, tag);
  EXPECT_EQ(element.first_child().type(), pugi::node_cdata);

  TagData back;
  back.add("code", "old");
  engine.readTagAttributes(element, back);
  EXPECT_EQ(back.get("code"), "GOTO_STRING(<a>, 1)\nGOTO_TOP");
  EXPECT_EQ(back.attributes.size(), 1u);

  TagData none;
  engine.readTagAttributes(document.append_child("empty"), none);
  EXPECT_FALSE(none.has("code"));
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
