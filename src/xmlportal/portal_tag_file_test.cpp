#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "portal/test_host.h"
#include "tagging/xml/xml_file.h"
#include "xmlportal/xml_portal.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::TempFolder;
using testing::TestHost;

TagData portalTag(StringList path, const String& paramName, const String& mode = "portal") {
  TagData tag;
  tag.path = std::move(path);
  tag.paramName = paramName;
  tag.paramType = "Continuous";
  tag.add("mode", mode);
  tag.add("filename", "deck.dat");
  return tag;
}

class PortalTagFile : public ::testing::Test {
 protected:
  StringStringMap props() const {
    return {{"analysisName", "a1"}, {"destDir", dir.path()}, {"version", "7.2"},
            {"solverName", "Brisol"}};
  }
  TempFolder dir;
  TestHost host;
  xmlPortal portal{&host, "Brisol"};
  StringStringMap outData;
  String message;
};

TEST_F(PortalTagFile, GroupsShareKeyElementsAndOnlyPortalTagsAreWritten) {
  TagList tags{portalTag({"G", "p1"}, "x1"), portalTag({"G", "p2"}, "x2"),
               portalTag({"top"}, "x3"), portalTag({"G", "p4"}, "skipped", "Portal")};
  tags.front().add("format", "%g");
  tags.front().add("unit", "mm", "Prop");
  tags.front().add("other", "dropped", "Custom");
  StringStringMap props = this->props();
  props.set("mode", "portal");
  ASSERT_TRUE(portal.writeInputTagData("deck.dat", tags, props, outData, message)) << message;
  EXPECT_EQ(outData["deck.dat_intagfile"], "P_in_a1_deck.dat");
  EXPECT_EQ(testing::readWholeFile(dir.file("P_in_a1_deck.dat")),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<Portal name=\"Brisol\" version=\"7.2\" solverName=\"Brisol\" "
            "fileType=\"Tag Definition\">\n"
            "  <Key name=\"G\">\n"
            "    <tag name=\"p1\" paramName=\"x1\" paramType=\"Continuous\" format=\"%g\">\n"
            "      <Prop name=\"unit\">mm</Prop>\n"
            "    </tag>\n"
            "    <tag name=\"p2\" paramName=\"x2\" paramType=\"Continuous\" />\n"
            "  </Key>\n"
            "  <tag name=\"top\" paramName=\"x3\" paramType=\"Continuous\" />\n"
            "</Portal>\n");
}

TEST_F(PortalTagFile, ReadingBackRestoresPathsKindsFilenameAndMode) {
  TagList tags{portalTag({"G", "p1"}, "x1")};
  tags.front().add("unit", "mm", "Prop");
  tags.front().add("code", "7");
  ASSERT_TRUE(portal.writeTagData("deck.dat", tags, props(), outData, true, message));

  TagList read{portalTag({"already"}, "first")};
  ASSERT_EQ(portal.readInputTagData(dir.file("P_in_a1_deck.dat"), {{"inputFilename", "d.dat"}},
                                    read, outData, message),
            0);
  ASSERT_EQ(read.size(), 2u);
  const TagData& tag = read.back();
  EXPECT_EQ(tag.path, (StringList{"G", "p1"}));
  EXPECT_EQ(tag.paramName, "x1");
  ASSERT_EQ(tag.attributes.size(), 4u);
  EXPECT_EQ(tag.attributes[0].key, "code");
  EXPECT_EQ(tag.attributes[1].key, "unit");
  EXPECT_EQ(tag.attributes[1].kind, "Prop");
  EXPECT_EQ(tag.attributes[2].value, "d.dat");
  EXPECT_EQ(tag.attributes[3].value, "portal");
}

TEST_F(PortalTagFile, NothingToWriteWritesNothingAndSaysNothing) {
  TagList tags{portalTag({"G", "p"}, "x", ""), portalTag({}, "pathless")};
  EXPECT_TRUE(portal.writeTagData("deck.dat", tags, props(), outData, true, message));
  EXPECT_FALSE(std::ifstream(dir.file("P_in_a1_deck.dat")).good());
  EXPECT_TRUE(outData.empty());
  EXPECT_EQ(message, "");
}

TEST_F(PortalTagFile, AnUnwritableFolderIsReported) {
  TagList tags{portalTag({"p"}, "x")};
  StringStringMap props = this->props();
  props.set("destDir", dir.file("missing/folder"));
  EXPECT_FALSE(portal.writeTagData("deck.dat", tags, props, outData, false, message));
  EXPECT_EQ(message, "Unable to write to " + dir.file("missing/folder/P_out_a1_deck.dat"));
  EXPECT_TRUE(outData.empty());
}

TEST_F(PortalTagFile, OldLayoutPathsComeFromElementNames) {
  const String path = dir.write("P_out_a1_r.sdb",
                                "<Portal version=\"6.0\"><Loads><Tip>"
                                "<tag name=\"force\" paramName=\"f\"/></Tip></Loads></Portal>");
  TagList tags;
  ASSERT_EQ(portal.readOutputTagData(path, {}, tags, outData, message), 0);
  ASSERT_EQ(tags.size(), 1u);
  EXPECT_EQ(tags.front().path, (StringList{"Loads", "Tip", "force"}));
}

TEST_F(PortalTagFile, TestVersionUsesNameAttributes) {
  const String path = dir.write("P_in_a1_d.dat",
                                "<Portal version=\"test\"><Key name=\"A\">"
                                "<tag name=\"t\" paramName=\"p\"/></Key></Portal>");
  TagList tags;
  ASSERT_EQ(portal.readInputTagData(path, {}, tags, outData, message), 0);
  EXPECT_EQ(tags.front().path, (StringList{"A", "t"}));
}

TEST_F(PortalTagFile, FilesThatAreNotOursAreLeftToTheEngines) {
  TagList tags;
  EXPECT_EQ(portal.readTagData(dir.file("P_out_a1_r.sdb"), {}, tags, outData, true, message), -1);
  EXPECT_EQ(portal.readTagData("", {}, tags, outData, true, message), -1);
  const String other = dir.write("P_in_x", "<Other><tag name=\"t\"/></Other>");
  EXPECT_EQ(portal.readTagData(other, {}, tags, outData, true, message), -1);
  const String empty = dir.write("P_in_y", "<Portal version=\"7.2\"/>");
  EXPECT_EQ(portal.readTagData(empty, {}, tags, outData, true, message), -1);
  EXPECT_EQ(message, "");
  EXPECT_TRUE(tags.empty());
}

TEST_F(PortalTagFile, AMalformedFileReplacesTheMessage) {
  const String path = dir.write("P_in_bad", "<Portal><tag></Portal>");
  message = "earlier";
  TagList tags;
  EXPECT_EQ(portal.readTagData(path, {}, tags, outData, true, message), -1);
  EXPECT_EQ(message, "Start-end tags mismatch\nUnable to read tag file " + path);
}

TEST_F(PortalTagFile, AFolderReadsLikeAMissingFile) {
  const String folder = dir.file("P_in_a1_folder.dat");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  TagList tags;
  for (const String& path : {dir.file("P_in_a1_missing.dat"), folder}) {
    message = "earlier";
    EXPECT_EQ(portal.readTagData(path, {}, tags, outData, true, message), -1);
    EXPECT_EQ(message, "File was not found\nUnable to read tag file " + path);
  }
}

// A tag `depth` elements deep (the root is level 1), each level a named group.
String nestedPortalFile(std::size_t depth) {
  String open = "<Portal version=\"7.2\">", close;
  for (std::size_t level = 2; level < depth; ++level) {
    open += "<Key name=\"k" + std::to_string(level) + "\">";
    close += "</Key>";
  }
  return open + "<tag name=\"t\" paramName=\"p\"/>" + close + "</Portal>";
}

TEST_F(PortalTagFile, AFileNestedPastTheBoundIsRefused) {
  TagList tags;
  const String atBound = dir.write("P_in_a1_ok.dat", nestedPortalFile(kMaxXmlDepth));
  ASSERT_EQ(portal.readTagData(atBound, {}, tags, outData, true, message), 0) << message;
  ASSERT_EQ(tags.size(), 1u);
  ASSERT_EQ(tags.front().path.size(), kMaxXmlDepth - 1);
  EXPECT_EQ(tags.front().path.front(), "k2");
  EXPECT_EQ(tags.front().path[kMaxXmlDepth - 3], "k999");
  EXPECT_EQ(tags.front().path.back(), "t");

  const String deep = dir.write("P_in_a1_deep.dat", nestedPortalFile(kMaxXmlDepth + 1));
  EXPECT_EQ(portal.readTagData(deep, {}, tags, outData, true, message), -1);
  EXPECT_EQ(message, "The XML elements are nested more than 1000 levels deep; a file nested "
                     "deeper is neither read nor saved.\nUnable to read tag file " + deep);
  EXPECT_EQ(tags.size(), 1u);
}

TEST_F(PortalTagFile, ATagPathDeeperThanAFileMayNestIsNotWritten) {
  StringList path(kMaxXmlDepth, "k");
  TagList tags{portalTag(path, "x")};
  EXPECT_FALSE(portal.writeTagData("deck.dat", tags, props(), outData, true, message));
  EXPECT_EQ(message, "The XML elements are nested more than 1000 levels deep; a file nested "
                     "deeper is neither read nor saved.\nUnable to write to " +
                         dir.file("P_in_a1_deck.dat"));
  EXPECT_FALSE(std::ifstream(dir.file("P_in_a1_deck.dat")).good());
  EXPECT_TRUE(outData.empty());

  message.clear();
  tags.front().path.pop_back();
  EXPECT_TRUE(portal.writeTagData("deck.dat", tags, props(), outData, true, message)) << message;
}

TEST_F(PortalTagFile, APathThatIsNotUtf8IsRefusedInWords) {
  const String path = dir.path() + "/P_in_\xff\xfe";
  TagList tags;
  EXPECT_EQ(portal.readTagData(path, {}, tags, outData, true, message), -1);
  EXPECT_NE(message.find("not valid UTF-8"), String::npos);
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
