#include "tagging/xml/xml_tag_file.h"

#include <gtest/gtest.h>

#include "portal/host/support.h"
#include "portal/test_host.h"
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
  EXPECT_EQ(read("", tags), -1);
  EXPECT_EQ(read(dir.write("X_in_a1_p.xml", "<?xml version='1.0'?>\n<Portal/>"), tags), -1);
  EXPECT_EQ(read(dir.write("M_in_a1_m.txt", "$ File type\nmarking, 1\n"), tags), -1);
  EXPECT_EQ(read(dir.write("P_in_a1_p.xml", "<Portal>"), tags), -1);
  EXPECT_EQ(message, "");
  EXPECT_TRUE(tags.empty());
}

TEST_F(XmlTagFile, ABrokenFileOfOursAddsItsReasonToTheMessage) {
  TagList tags;
  const String broken = dir.write("X_in_a1_b.xml", "<TagDefinition>");
  message = "earlier";
  EXPECT_EQ(read(broken, tags), -1);
  EXPECT_EQ(message, "earlier\nStart-end tags mismatch\nCannot read the tag-definition file " +
                         broken + ".");
  // An input tag file is not looked for among the outputs.
  message.clear();
  StringStringMap outData;
  EXPECT_EQ(engine.readOutputTagFile(broken, {}, tags, outData, message), -1);
  EXPECT_EQ(message, "");
  EXPECT_TRUE(tags.empty());
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
