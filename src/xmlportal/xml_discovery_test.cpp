#include <gtest/gtest.h>

#include <filesystem>

#include "portal/test_host.h"
#include "tagging/xml/xml_file.h"
#include "xmlportal/xml_portal.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::TempFolder;
using testing::TestHost;

// "name[typeLabel]{key=value,...}(children)" for compact tree comparisons.
String describe(const PortalItem& item) {
  String text = item.name + "[" + item.typeLabel + "]";
  if (!item.entries.empty()) {
    text += "{";
    for (std::size_t i = 0; i < item.entries.size(); ++i) {
      text += (i ? "," : "") + item.entries[i].key + "=" + item.entries[i].value;
    }
    text += "}";
  }
  if (!item.children.empty()) {
    text += "(";
    for (std::size_t i = 0; i < item.children.size(); ++i) {
      text += (i ? " " : "") + describe(item.children[i]);
    }
    text += ")";
  }
  return text;
}

class XmlDiscovery : public ::testing::Test {
 protected:
  std::vector<String> discover(const String& xml) {
    const String path = dir.write("data.xml", xml);
    PortalItemList items;
    EXPECT_TRUE(portal.parseInputFile(path, {}, items, message)) << message;
    std::vector<String> described;
    for (const PortalItem& item : items) described.push_back(describe(item));
    return described;
  }
  TempFolder dir;
  TestHost host;
  xmlPortal portal{&host, "Brisol"};
  String message;
};

TEST_F(XmlDiscovery, AnElementOfLeavesBecomesOnePropertiesItem) {
  EXPECT_EQ(discover("<root><beam><a>1</a><b> 2 \n</b><c>x</c></beam></root>"),
            std::vector<String>{"beam[Properties]{a=1,b=2,c=x}"});
}

TEST_F(XmlDiscovery, GroupsAreLabelledByTheirFirstChildAndNamedByNameAttributes) {
  EXPECT_EQ(discover("<root><model><part name=\"left\"><t>1</t></part>"
                     "<part><t>2</t><sub><u>3</u></sub></part></model></root>"),
            std::vector<String>{"model[part](left[Properties]{t=1} part[Properties]{t=2,u=3})"});
}

TEST_F(XmlDiscovery, NamesWithColonsAreSkippedAsGroupsButKeptAsLeaves) {
  EXPECT_EQ(discover("<root><x:meta><y>1</y></x:meta><g><x:v>2</x:v></g></root>"),
            std::vector<String>{"g[Properties]{x:v=2}"});
}

TEST_F(XmlDiscovery, EmptyGroupsAreDropped) {
  EXPECT_EQ(discover("<root><empty/><g><h/></g></root>"), std::vector<String>{});
}

TEST_F(XmlDiscovery, AMalformedFileFailsWithTheParsersWordsAndThePath) {
  const String path = dir.write("bad.xml", "<root><a></root>");
  PortalItemList items;
  EXPECT_FALSE(portal.parseOutputFile(path, {}, items, message));
  EXPECT_EQ(message, "Start-end tags mismatch " + path);
}

TEST_F(XmlDiscovery, NestingPastTheBoundIsRefusedNotACrash) {
  const auto nested = [](std::size_t depth) {
    String open, close;
    for (std::size_t level = 2; level < depth; ++level) {
      open += "<n>";
      close += "</n>";
    }
    return "<root>" + open + "<v>1</v>" + close + "</root>";
  };
  EXPECT_EQ(discover(nested(kMaxXmlDepth)).size(), 1u);
  for (const std::size_t depth : {kMaxXmlDepth + 1, std::size_t{5000}}) {
    const String path = dir.write("deep.xml", nested(depth));
    PortalItemList items;
    message.clear();
    EXPECT_FALSE(portal.parseInputFile(path, {}, items, message));
    EXPECT_EQ(message, "The XML elements are nested more than 1000 levels deep; a file nested "
                       "deeper is neither read nor saved. " + path);
    EXPECT_TRUE(items.empty());
  }
}

TEST_F(XmlDiscovery, AFolderReadsLikeAMissingFile) {
  const String folder = dir.file("folder.xml");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  for (const String& path : {dir.file("missing.xml"), folder}) {
    PortalItemList items;
    message.clear();
    EXPECT_FALSE(portal.parseInputFile(path, {}, items, message));
    EXPECT_EQ(message, "File was not found " + path);
  }
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
