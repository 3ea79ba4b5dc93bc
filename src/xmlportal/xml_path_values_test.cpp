#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "portal/failing_renames.h"
#include "portal/test_host.h"
#include "tagging/xml/xml_file.h"
#include "xmlportal/xml_portal.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::TempFolder;
using testing::TestHost;

TEST(PathValues, SetWritesTextAndFindsOnlyExistingElements) {
  TestHost host;
  xmlPortal portal(&host, "Brisol");
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string("<m><beam><len>1</len><w/></beam></m>"));
  EXPECT_TRUE(portal.setValueAtPath({"beam", "len"}, document, "2.5"));
  EXPECT_TRUE(portal.setValueAtPath({"beam", "w"}, document, "7"));
  EXPECT_FALSE(portal.setValueAtPath({"beam", "h"}, document, "1"));
  EXPECT_EQ(String(document.child("m").child("beam").child_value("len")), "2.5");
  EXPECT_EQ(String(document.child("m").child("beam").child_value("w")), "7");
}

TEST(PathValues, GetReadsOneNumberOrALineFeedList) {
  TestHost host;
  xmlPortal portal(&host, "Brisol");
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string("<m><a>1.5</a><b>1\n2\n3e1</b><c/></m>"));
  std::vector<double> values;
  EXPECT_TRUE(portal.getValuesAtDottedPath({"a"}, document, values));
  EXPECT_TRUE(portal.getValuesAtPath({"b"}, document, values, '/'));
  EXPECT_FALSE(portal.getValuesAtDottedPath({"c"}, document, values));
  EXPECT_FALSE(portal.getValuesAtDottedPath({"d"}, document, values));
  EXPECT_EQ(values, (std::vector<double>{1.5, 1, 2, 30}));
}

class XmlValueUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    input = dir.write("model.xml", "<m><beam><len>1</len><w>2</w></beam></m>");
    tagFile = dir.write("P_in_a1_model.xml",
                        "<?xml version=\"1.0\"?>\n<Portal version=\"7.2\">"
                        "<Key name=\"beam\"><tag name=\"len\" paramName=\"L\"/>"
                        "<tag name=\"h\" paramName=\"H\"/></Key></Portal>");
    host.service.parameters["L"] = "4.25";
  }
  TempFolder dir;
  TestHost host;
  xmlPortal portal{&host, "Brisol"};
  String input, tagFile, message;
};

TEST_F(XmlValueUpdate, WritesEachTaggedValueAndReportsMissingElements) {
  EXPECT_TRUE(portal.updateInputFiles(
      {{"inputFilepaths", input}, {"inputTagFilepaths", tagFile}}, nullptr, message));
  EXPECT_EQ(message, "\nFailed to write the value for H");
  EXPECT_EQ(testing::readWholeFile(input),
            "<?xml version=\"1.0\"?>\n<m>\n  <beam>\n    <len>4.25</len>\n    <w>2</w>\n"
            "  </beam>\n</m>\n");
  EXPECT_FALSE(std::ifstream(input + ".temp").good());
}

TEST_F(XmlValueUpdate, ARefusedRenameLeavesTheInputAsItWas) {
  testing::FailingRenames refusing(".temp");
  EXPECT_FALSE(portal.updateInputFiles(
      {{"inputFilepaths", input}, {"inputTagFilepaths", tagFile}}, nullptr, message));
  EXPECT_EQ(refusing.refused(), 1);
  EXPECT_EQ(message, "\nFailed to write the value for H\nUnable to write the modified file to " +
                         input);
  EXPECT_EQ(testing::readWholeFile(input), "<m><beam><len>1</len><w>2</w></beam></m>");
  EXPECT_FALSE(std::ifstream(input + ".temp").good());
}

TEST_F(XmlValueUpdate, AnInputNestedPastTheBoundIsSkippedAndLeftAlone) {
  String open = "<m><beam><len>1</len>", close;
  for (std::size_t level = 3; level <= kMaxXmlDepth + 1; ++level) {
    open += "<n>";
    close += "</n>";
  }
  close += "</beam></m>";
  const String deep = dir.write("model.xml", open + close);
  EXPECT_TRUE(portal.updateInputFiles(
      {{"inputFilepaths", deep}, {"inputTagFilepaths", tagFile}}, nullptr, message));
  EXPECT_EQ(message, "The XML elements are nested more than 1000 levels deep; a file nested "
                     "deeper is neither read nor saved.");
  EXPECT_EQ(testing::readWholeFile(deep), open + close);
  EXPECT_FALSE(std::ifstream(deep + ".temp").good());
}

TEST_F(XmlValueUpdate, AFolderReadsLikeAMissingInput) {
  const String folder = dir.file("folder.xml");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  for (const String& path : {dir.file("missing.xml"), folder}) {
    message.clear();
    EXPECT_TRUE(portal.updateInputFiles(
        {{"inputFilepaths", path}, {"inputTagFilepaths", tagFile}}, nullptr, message));
    EXPECT_EQ(message, "File was not found");
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST_F(XmlValueUpdate, AnUnparsableInputIsSkippedAndLeftAlone) {
  const String broken = dir.write("model.xml", "<m><beam>");
  EXPECT_TRUE(portal.updateInputFiles(
      {{"inputFilepaths", broken}, {"inputTagFilepaths", tagFile}}, nullptr, message));
  EXPECT_EQ(message, "Start-end tags mismatch");
  EXPECT_EQ(testing::readWholeFile(broken), "<m><beam>");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
