#include "tagging/xml/element_path.h"

#include <gtest/gtest.h>

namespace ORLIX {
namespace Portals {
namespace {

TEST(SplitPath, CutsAtSlashesAndDropsTheLeadingOne) {
  EXPECT_EQ(splitPath("/model/part[1]/load"), (ElementPath{"model", "part[1]", "load"}));
  EXPECT_EQ(splitPath("model/part[1]/load"), (ElementPath{"model", "part[1]", "load"}));
  EXPECT_EQ(splitPath(""), ElementPath{});
  EXPECT_EQ(splitPath("/"), ElementPath{""});
  EXPECT_EQ(splitPath("a//b/"), (ElementPath{"a", "", "b", ""}));
}

TEST(SplitPath, KeepsBracketGroupsWhole) {
  EXPECT_EQ(splitPath("model/part[./load/value]/x"),
            (ElementPath{"model", "part[./load/value]", "x"}));
  // Groups of the same kind nest; other bracket kinds inside are plain text.
  EXPECT_EQ(splitPath("a[./b[./c/d]/e]/f"), (ElementPath{"a[./b[./c/d]/e]", "f"}));
  EXPECT_EQ(splitPath("a[@v=(1/2]/b"), (ElementPath{"a[@v=(1/2]", "b"}));
  // Outside a group, other bracket kinds do not protect a slash.
  EXPECT_EQ(splitPath("a(b/c)"), (ElementPath{"a(b", "c)"}));
  EXPECT_EQ(splitPath("part[0][./a/b]"), ElementPath{"part[0][./a/b]"});
}

TEST(SplitPath, AnEscapedBracketOpensNoGroup) {
  EXPECT_EQ(splitPath("a\\[x/y]"), (ElementPath{"a\\[x", "y]"}));
  // Two backslashes are an escaped backslash: the bracket after them counts.
  EXPECT_EQ(splitPath("a\\\\[x/y]/z"), (ElementPath{"a\\\\[x/y]", "z"}));
  EXPECT_EQ(splitPath("a[\\]/b]/c"), (ElementPath{"a[\\]/b]", "c"}));
}

TEST(SplitPath, AGroupThatNeverClosesRunsToTheEnd) {
  EXPECT_EQ(splitPath("model/part[./a/b"), (ElementPath{"model", "part[./a/b"}));
}

TEST(SplitPath, JoinedAgainWithSlashes) {
  EXPECT_EQ(joinPath(splitPath("/model/part[./a/b]/c")), "model/part[./a/b]/c");
  EXPECT_EQ(joinPath({}), "");
}

TEST(MatchingCloser, FindsTheCloserOfTheSameKind) {
  EXPECT_EQ(matchingCloser("(a(b)c)", 0), 6u);
  EXPECT_EQ(matchingCloser("<a<b>>", 0), 5u);
  EXPECT_EQ(matchingCloser("{a]}", 0), 3u);
  EXPECT_EQ(matchingCloser("[a\\]b]", 0), 5u);
  EXPECT_EQ(matchingCloser("{a", 0), String::npos);
  EXPECT_EQ(matchingCloser("a]", 0), String::npos);
}

void expectSegment(const String& text, const String& name, int index, const String& condition,
                   const String& selector) {
  const PathSegment segment = parseSegment(text);
  EXPECT_EQ(segment.name, name) << text;
  EXPECT_EQ(segment.index, index) << text;
  EXPECT_EQ(segment.condition, condition) << text;
  EXPECT_EQ(segment.selector, selector) << text;
}

TEST(ParseSegment, ANameAloneMeansTheFirstChild) {
  expectSegment("part", "part", 0, "", "");
  expectSegment("", "", 0, "", "");
  expectSegment(".", ".", 0, "", "");
}

TEST(ParseSegment, ANumberIsTheIndexTruncated) {
  expectSegment("part[2]", "part", 2, "", "");
  expectSegment("part[1.9]", "part", 1, "", "");
  expectSegment("part[ 3 ]", "part", 3, "", "");
}

TEST(ParseSegment, ConditionsStartWithAtDotSlashOrAHashWithAValue) {
  expectSegment("part[@id=7]", "part", -1, "@id=7", "");
  expectSegment("part[@id]", "part", -1, "@id", "");
  expectSegment("part[./load/value]", "part", -1, "./load/value", "");
  expectSegment("part[#text=abc]", "part", -1, "#text=abc", "");
}

TEST(ParseSegment, AnythingElseIsTheSelector) {
  expectSegment("part[#text]", "part", -1, "", "#text");
  expectSegment("part[other]", "part", -1, "", "other");
  expectSegment("part[id=7]", "part", -1, "", "id=7");
  expectSegment("part[a[1]]", "part", -1, "", "a[1]");
  expectSegment("part[]", "part", -1, "", "");
  expectSegment("[@value]", "", -1, "@value", "");
  expectSegment("[#text]", "", -1, "", "#text");
}

TEST(ParseSegment, ASecondGroupIsTheSelectorAndPushesAFirstSelectorIntoTheCondition) {
  expectSegment("part[0][other]", "part", 0, "", "other");
  expectSegment("part[@id=7][@name]", "part", -1, "@id=7", "@name");
  expectSegment("part[abc][@id=7]", "part", -1, "abc", "@id=7");
  // A third group is not read: it stays in the name.
  expectSegment("part[1][a][b]", "part[b]", 1, "", "a");
}

TEST(ParseSegment, WithoutAClosingBracketThereIsNoGroup) {
  expectSegment("part[2", "part[2", -1, "", "");
  expectSegment("part]2", "part]2", 0, "", "");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
