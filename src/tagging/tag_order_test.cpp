#include <gtest/gtest.h>

#include "tagging/tagging_impl.h"

namespace ORLIX {
namespace Portals {
namespace {

using T = TaggingImpl;

TagData tagAt(const String& row, const String& col, const String& name = "") {
  TagData tag;
  tag.paramName = name;
  tag.add("row", row);
  tag.add("col", col);
  return tag;
}

StringList names(const TagList& tags) {
  StringList out;
  for (const TagData& tag : tags) out.push_back(tag.paramName);
  return out;
}

TEST(TagOrder, ComparesRowThenColumnAsTexts) {
  EXPECT_TRUE(T::tagOrder(tagAt("10", "1"), tagAt("9", "1")));
  EXPECT_TRUE(T::tagOrder(tagAt("3", "10"), tagAt("3", "2")));
  EXPECT_FALSE(T::tagOrder(tagAt("3", "2"), tagAt("3", "2")));
}

TEST(SortTags, GivesTheStableTagOrder) {
  TagList tags{tagAt("9", "2", "a"), tagAt("10", "1", "b"), tagAt("9", "2", "c"),
               tagAt("9", "10", "d"), tagAt("", "", "e"), tagAt("10", "1", "f")};
  TagList expected = tags;
  expected.sort(T::tagOrder);
  T::sortTags(tags);
  EXPECT_EQ(names(tags), names(expected));
  EXPECT_EQ(names(tags), (StringList{"e", "b", "f", "d", "a", "c"}));
}

TEST(GroupTagsByRow, KeysGroupsByNumericRowInSortedOrder) {
  TagList tags{tagAt("9", "2", "a"), tagAt("10", "1", "b"), tagAt("9", "1", "c"),
               tagAt("12.7", "1", "d"), tagAt("09", "3", "e")};
  tags.sort(T::tagOrder);
  const T::TagRows rows = T::groupTagsByRow(tags);
  ASSERT_EQ(rows.size(), 3u);
  // "09" sorts apart from "9" but is the same line: its tag is not lost.
  EXPECT_EQ(names(rows.at(9)), (StringList{"e", "c", "a"}));
  EXPECT_EQ(names(rows.at(10)), StringList{"b"});
  EXPECT_EQ(names(rows.at(12)), StringList{"d"});
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
