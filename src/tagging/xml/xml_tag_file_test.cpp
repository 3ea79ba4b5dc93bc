#include "tagging/xml/xml_tag_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "portal/host/support.h"
#include "portal/test_host.h"
#include "tagging/xml/xml_file.h"
#include "tagging/xml/xml_tagging.h"

namespace ORLIX {
namespace Portals {
namespace {

using Support::File;
using testing::readWholeFile;
using testing::TempFolder;
using testing::TestHost;

TagData xmlTag(const String& file, const String& name, const String& xpath, const String& xid) {
  TagData tag;
  tag.paramName = name;
  tag.paramType = "Continuous";
  tag.add("mode", "xml");
  tag.add("format", "%g");
  tag.add("xpath", xpath);
  tag.add("xid", xid);
  tag.add("filename", file);
  return tag;
}

class XmlTagFile : public ::testing::Test {
 protected:
  StringStringMap props() const {
    return {{"analysisName", "a1"}, {"destDir", dir.path()}, {"version", "7.2"},
            {"solverName", "Brisol"}, {"mode", "xml"}};
  }
  int read(const String& path, TagList& tags) {
    StringStringMap outData;
    return engine.readInputTagFile(path, {}, tags, outData, message);
  }

  TempFolder dir;
  TestHost host;
  XmlTagging engine{&host};
  String message;
};

TEST_F(XmlTagFile, HoldsTheTagsOfItsFileInOrder) {
  TagList tags{xmlTag("model.xml", "x1", "model/part[1]", "[@value]"),
               xmlTag("other.xml", "y", "a", "b"),
               xmlTag("model.xml", "x2", "model/part[@id=7]", "load[#text]")};
  tags.back().attributes.erase(tags.back().attributes.begin() + 1);  // no format
  StringStringMap outData;
  ASSERT_TRUE(engine.writeInputTagFile("model.xml", tags, props(), outData, message));
  EXPECT_EQ(outData, (StringStringMap{{"model.xml_intagfile", "X_in_a1_model.xml"}}));
  EXPECT_EQ(readWholeFile(dir.file("X_in_a1_model.xml")),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<TagDefinition version=\"7.2\" solverName=\"Brisol\" filename=\"model.xml\">\n"
            "  <tag mode=\"xml\" paramName=\"x1\" paramType=\"Continuous\" format=\"%g\" "
            "xpath=\"model/part[1]\" xid=\"[@value]\" />\n"
            "  <tag mode=\"xml\" paramName=\"x2\" paramType=\"Continuous\" format=\"\" "
            "xpath=\"model/part[@id=7]\" xid=\"load[#text]\" />\n"
            "</TagDefinition>\n");
  EXPECT_FALSE(File::exists(dir.file("X_in_a1_model.xml.temp")));
  EXPECT_EQ(message, "");
}

TEST_F(XmlTagFile, MissingAttributesReadAsEmptyAndAMissingFormatIsLeftOut) {
  const String path = dir.write("X_in_a1_m.xml",
                                "<TagDefinition><tag paramName='p'/><other/>"
                                "<tag mode='xml' format='' xpath='a'/></TagDefinition>");
  TagList tags;
  ASSERT_EQ(read(path, tags), 0);
  ASSERT_EQ(tags.size(), 2u);
  EXPECT_EQ(tags.front().paramName, "p");
  EXPECT_EQ(tags.front().paramType, "");
  EXPECT_FALSE(tags.front().has("format"));
  EXPECT_TRUE(tags.front().has("mode"));
  EXPECT_TRUE(tags.front().has("xid"));
  EXPECT_TRUE(tags.back().has("format"));
  EXPECT_EQ(tags.back().get("xpath"), "a");
}

TEST_F(XmlTagFile, OtherFilesAreLeftToTheNextEngine) {
  TagList tags;
  message = "earlier";
  EXPECT_EQ(read("", tags), -1);
  EXPECT_EQ(read(dir.write("X_in_a1_p.xml", "<?xml version='1.0'?>\n<Portal/>"), tags), -1);
  EXPECT_EQ(message, "earlier");
  EXPECT_TRUE(tags.empty());
}

// The portal's own layer hands on a P_ file that does not load, and the
// engines are asked in turn: whatever the file's name or direction, its reason
// takes the place of what the message held.
TEST_F(XmlTagFile, AFileThatDoesNotLoadReplacesTheMessageWithItsReason) {
  TagList tags;
  StringStringMap outData;
  const String broken = dir.write("X_in_a1_b.xml", "<TagDefinition>");
  const String portalFile = dir.write("P_in_a1_p.xml", "<Portal>");
  const String markFile = dir.write("M_in_a1_m.txt", "$ File type\nmarking, 1\n");
  const auto expectRefused = [&](int result, const String& reason, const String& path) {
    EXPECT_EQ(result, -1);
    EXPECT_EQ(message, reason + "\nCannot read the tag-definition file " + path + ".");
    message = "earlier";
  };
  message = "earlier";
  expectRefused(read(broken, tags), "Start-end tags mismatch", broken);
  expectRefused(engine.readOutputTagFile(broken, {}, tags, outData, message),
                "Start-end tags mismatch", broken);
  expectRefused(read(portalFile, tags), "Start-end tags mismatch", portalFile);
  expectRefused(read(markFile, tags), "No document element found", markFile);
  expectRefused(read(dir.file("X_in_a1_gone.xml"), tags), "File was not found",
                dir.file("X_in_a1_gone.xml"));
  EXPECT_TRUE(tags.empty());
}

TEST_F(XmlTagFile, AFolderReadsLikeAMissingFile) {
  const String folder = dir.file("X_in_a1_folder.xml");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  TagList tags;
  EXPECT_EQ(read(folder, tags), -1);
  EXPECT_EQ(message, "File was not found\nCannot read the tag-definition file " + folder + ".");
}

// One tag nested `depth` elements deep (the root is level 1), with its root
// named as a tag file's.
String nestedTagFile(std::size_t depth) {
  String open = "<TagDefinition>", close;
  for (std::size_t level = 2; level < depth; ++level) {
    open += "<g>";
    close += "</g>";
  }
  return open + "<tag paramName='deep'/>" + close + "</TagDefinition>";
}

TEST_F(XmlTagFile, AFileNestedPastTheBoundIsRefused) {
  TagList tags;
  EXPECT_EQ(read(dir.write("X_in_a1_ok.xml", nestedTagFile(kMaxXmlDepth)), tags), 0);
  EXPECT_EQ(message, "");
  // Far past the bound too: the check must not recurse once per level.
  for (const std::size_t depth : {kMaxXmlDepth + 1, std::size_t{200000}}) {
    const String deep = dir.write("X_in_a1_deep.xml", nestedTagFile(depth));
    EXPECT_EQ(read(deep, tags), -1);
    EXPECT_EQ(message, "The XML elements are nested more than 1000 levels deep; a file nested "
                       "deeper is neither read nor saved.\nCannot read the tag-definition "
                       "file " + deep + ".");
  }
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
