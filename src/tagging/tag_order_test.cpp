#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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

// The rows the Mark engine marks by point into the cached tags; they must be
// the rows that sorting and grouping a copy gives, tag for tag, in order.
TEST(TagRowsOf, AreTheSortedGroupsWithoutCopies) {
  const String rows[] = {"9", "09", "10", "", "x", "12.7", "-1", "3"};
  const String cols[] = {"1", "2", "10", "", "2"};
  TagList tags;
  for (int i = 0; i < 200; ++i) {
    tags.push_back(tagAt(rows[(i * 7) % 8], cols[(i * 3) % 5], "t" + std::to_string(i)));
  }
  TagList sorted = tags;
  sorted.sort(T::tagOrder);  // stable
  const T::TagRows expected = T::groupTagsByRow(sorted);
  const T::TagRowRefs refs = T::tagRowsOf(tags);
  ASSERT_EQ(refs.rows.size(), expected.size());
  auto row = refs.rows.begin();
  for (const auto& group : expected) {
    EXPECT_EQ(row->number, group.first);
    StringList referred;
    for (const TagData* tag : refs.tagsOf(*row)) referred.push_back(tag->paramName);
    EXPECT_EQ(referred, names(group.second)) << "row " << group.first;
    ++row;
  }
  // Every tag once, each pointing at a tag of the list itself.
  ASSERT_EQ(refs.tags.size(), tags.size());
  for (const TagData* tag : refs.tags) {
    EXPECT_TRUE(std::any_of(tags.begin(), tags.end(), [&](const TagData& t) { return &t == tag; }));
  }
}

// Tags listed line by line, as a tag file usually is, keep their order and
// group by line without a sort.
TEST(TagRowsOf, KeepTagsInLineOrderAsListed) {
  TagList tags{tagAt("2", "1", "a"), tagAt("2", "3", "b"), tagAt("10", "1", "c"),
               tagAt("10", "1", "d"), tagAt("100", "2", "e")};
  const T::TagRowRefs refs = T::tagRowsOf(tags);
  ASSERT_EQ(refs.rows.size(), 3u);
  StringList order;
  for (const TagData* tag : refs.tags) order.push_back(tag->paramName);
  EXPECT_EQ(order, (StringList{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(refs.rows[1].number, 10);
  EXPECT_EQ(refs.rows[1].end - refs.rows[1].begin, 2u);
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
