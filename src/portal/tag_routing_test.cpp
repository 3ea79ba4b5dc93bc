#include "portal/tag_routing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <utility>

#include "portal/portal_impl.h"
#include "portal/test_host.h"
#include "portal/test_portal.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;
using testing::TestHost;

TEST(TagFileKind, PrefixAndDirectionPickTheKind) {
  EXPECT_EQ(tagFileKindByName("M_in_a_deck.dat", true), TagFileKind::Mark);
  EXPECT_EQ(tagFileKindByName("M_in_a_deck.dat", false), TagFileKind::Unknown);
  EXPECT_EQ(tagFileKindByName("X_out_r.xml", false), TagFileKind::Xml);
  EXPECT_EQ(tagFileKindByName("S_in_x", true), TagFileKind::Script);
  EXPECT_EQ(tagFileKindByName("P_out_x", false), TagFileKind::Portal);
  EXPECT_EQ(tagFileKindByName("p_in_x", true), TagFileKind::Unknown);
}

TEST(TagFileKind, ContentTestsAreCaseSensitive) {
  EXPECT_TRUE(tagFileContentMatches(TagFileKind::Mark, "$ File", "marking, 1"));
  EXPECT_FALSE(tagFileContentMatches(TagFileKind::Mark, "$ File", "Marking, 1"));
  EXPECT_TRUE(tagFileContentMatches(TagFileKind::Xml, "<?xml version=\"1.0\"?>", ""));
  EXPECT_TRUE(tagFileContentMatches(TagFileKind::Xml, "", "<TagDefinition>"));
  EXPECT_TRUE(tagFileContentMatches(TagFileKind::Script, "$", "scripting, 2"));
  EXPECT_TRUE(tagFileContentMatches(TagFileKind::Portal, "", "portal v1"));
  EXPECT_TRUE(tagFileContentMatches(TagFileKind::Portal, "<?xml?>", "<Portal name=\"B\">"));
  EXPECT_FALSE(tagFileContentMatches(TagFileKind::Portal, "<?XML?>", "<Portal name=\"B\">"));
}

// Lines across the reader's chunks, a last line without a feed, a carriage
// return, and paths that name no regular file.
TEST(TagFileLines, FirstTwoLinesAsALineReaderGivesThem) {
  TempFolder dir;
  const auto lines = [](const String& path) {
    String line1, line2;
    readFirstTwoLines(path, line1, line2);
    return std::make_pair(line1, line2);
  };
  const String longLine(10000, 'x');
  EXPECT_EQ(lines(dir.write("a", longLine + "\r\n" + longLine + "y\nthird\n")),
            std::make_pair(longLine + "\r", longLine + "y"));
  EXPECT_EQ(lines(dir.write("b", "only line")), std::make_pair(String("only line"), String()));
  EXPECT_EQ(lines(dir.write("c", "one\n")), std::make_pair(String("one"), String()));
  EXPECT_EQ(lines(dir.write("d", "\n\nmarking\n")), std::make_pair(String(), String()));
  EXPECT_EQ(lines(dir.write("e", "")), std::make_pair(String(), String()));
  EXPECT_EQ(lines(dir.file("missing")), std::make_pair(String(), String()));
  EXPECT_EQ(lines(dir.path()), std::make_pair(String(), String()));
  const String pipe = dir.file("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(lines(pipe), std::make_pair(String(), String()));  // no wait for a writer
}

class Routing : public ::testing::Test {
 protected:
  struct Lists {
    StringList mark, xml, script, portal;
  };
  Lists route(const StringList& files, const StringList& tagFiles, bool isInput) {
    Lists lists;
    portal.routeTagFiles(files, tagFiles, lists.mark, lists.xml, lists.script, lists.portal,
                         isInput);
    return lists;
  }
  ScopedEnv logOn{"QZN_PORTAL_LOG", "yes"};
  ScopedEnv brisolLog{"QZN_BRISOL_LOG", nullptr};
  TempFolder dir;
  TestHost host;
  testing::TestPortal portal{&host};
};

TEST_F(Routing, EachFileLandsInTheListOfItsKindOnly) {
  const String mark = dir.write("M_in_a_deck.dat", "$ File type\nmarking, 1\n");
  const String script = dir.write("S_in_a_deck.dat", "$ File type\nscripting, 1\n");
  const String xml = dir.write("X_in_a_m.xml", "<?xml version=\"1.0\"?>\n");
  const Lists lists = route({"deck.dat", "deck2.dat", "m.xml", "none.dat"},
                            {mark, script, xml, ""}, true);
  EXPECT_EQ(lists.mark, (StringList{mark, "", "", ""}));
  EXPECT_EQ(lists.script, (StringList{"", script, "", ""}));
  EXPECT_EQ(lists.xml, (StringList{"", "", xml, ""}));
  EXPECT_EQ(lists.portal, (StringList{"", "", "", ""}));
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(Routing, UnrecognisedFilesAreDroppedWithALogLineOnly) {
  const String badMark = dir.write("M_in_a_deck.dat", "$ File type\nMarking, 1\n");
  const String wrongWay = dir.write("M_out_a_r.txt", "$\nmarking, 1\n");
  const String missing = dir.file("P_in_a_gone.dat");
  const Lists lists = route({"a", "b", "c"}, {badMark, wrongWay, missing}, true);
  EXPECT_EQ(lists.mark, (StringList{"", "", ""}));
  EXPECT_EQ(lists.portal, (StringList{"", "", ""}));
  EXPECT_EQ(host.messageLines(),
            (std::vector<String>{
                "Marking module is filtering out tag definition file due to unrecognized "
                "contents: \n" + badMark + "@8",
                "The following tag definition file is being ignored: \n" + wrongWay + "@8",
                "Portal is filtering out tag definition file due to unrecognized contents: \n" +
                    missing + "@8"}));
}

TEST_F(Routing, TagFilesBeyondTheFileListStayUnrouted) {
  const String extra = dir.write("M_in_x", "$\nnot marking\n");
  const Lists lists = route({}, {extra}, true);
  EXPECT_EQ(lists.mark, StringList{extra});
  EXPECT_EQ(lists.xml, StringList{extra});
  EXPECT_EQ(lists.script, StringList{extra});
  EXPECT_EQ(lists.portal, StringList{extra});
}

TEST_F(Routing, KeepPortalTagFilesLeavesOnlyThePortalsOwn) {
  const String own = dir.write("P_in_a_deck.dat", "<?xml version=\"1.0\"?>\n<Portal>\n");
  const String mark = dir.write("M_in_a_deck.dat", "$\nmarking\n");
  StringList tagFiles{own, mark};
  portal.keepPortalTagFiles({"deck.dat", "deck2.dat"}, tagFiles, true);
  EXPECT_EQ(tagFiles, (StringList{own, ""}));
}

TEST_F(Routing, WriteDispatchFollowsTheExactMode) {
  TagList tags;
  StringStringMap outData;
  String message;
  EXPECT_FALSE(portal.writeInputTagData("deck.dat", tags, {{"mode", "Fixed"}}, outData, message));
  EXPECT_FALSE(portal.writeInputTagData("deck.dat", tags, {{"mode", "portal"}}, outData, message));
  EXPECT_EQ(message, "");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
