#include "portal/properties.h"

#include <gtest/gtest.h>

#include <cmath>

namespace ORLIX {
namespace Portals {
namespace {

TEST(ListConvention, SplitsAtLineFeedsAndTrimsEachItem) {
  EXPECT_EQ(splitList("a\n b \r\n\t\nc"), (StringList{"a", "b", "", "c"}));
  EXPECT_EQ(splitList("a\n"), (StringList{"a", ""}));
  EXPECT_EQ(splitList("   "), (StringList{""}));
  EXPECT_TRUE(splitList("").empty());
  EXPECT_EQ(joinList({"a", "", "b"}), "a\n\nb");
  EXPECT_EQ(joinList({}), "");
}

TEST(ListConvention, PaddingLengthensButNeverCuts) {
  StringList tags{"t1"};
  padList(tags, 3);
  EXPECT_EQ(tags, (StringList{"t1", "", ""}));
  padList(tags, 1);
  EXPECT_EQ(tags.size(), 3u);
}

TEST(TruthValue, AcceptsTrueYesAndOneInAnyCase) {
  for (const char* yes : {"true", "TRUE", "Yes", "1"}) EXPECT_TRUE(isTrue(yes)) << yes;
  for (const char* no : {"", "no", "false", "0", " yes", "y", "2"}) EXPECT_FALSE(isTrue(no)) << no;
}

TEST(NumberConvention, ReadsTheLeadingNumberOrZero) {
  EXPECT_EQ(toNumber("12"), 12);
  EXPECT_EQ(toNumber("  -2.5e1xyz"), -25);
  EXPECT_EQ(toNumber("+4"), 4);
  EXPECT_EQ(toNumber("abc"), 0);
  EXPECT_EQ(toNumber(""), 0);
  EXPECT_EQ(toNumber("+-4"), 0);
}

TEST(NumberConvention, WholeTextTestRejectsTrailingText) {
  double value = -1;
  EXPECT_TRUE(readsAsNumber(" 1.5e3 ", value));
  EXPECT_EQ(value, 1500);
  EXPECT_FALSE(readsAsNumber("1.5 m", value));
  EXPECT_FALSE(readsAsNumber("", value));
  EXPECT_FALSE(readsAsNumber("1,5", value));
  EXPECT_EQ(value, 1500);
}

TEST(NumberConvention, TruncationIsSafeForAnyDouble) {
  EXPECT_EQ(truncateToInt(7.9), 7);
  EXPECT_EQ(truncateToInt(-7.9), -7);
  EXPECT_EQ(truncateToInt(NAN), 0);
  EXPECT_EQ(truncateToInt(1e300), 2147483647);
  EXPECT_EQ(truncateToInt(-1e300), -2147483647 - 1);
}

TEST(SettingLines, FirstLineWithKeyAndValueWins) {
  const StringList lines{"primaryInput", "modules: m1,m2", "primaryInput:model.inp",
                         "primaryInput: other.inp", "zone: C:/x"};
  EXPECT_EQ(settingLineValue(lines, "primaryInput"), "model.inp");
  EXPECT_EQ(settingLineValue(lines, "modules"), "m1,m2");
  EXPECT_EQ(settingLineValue(lines, "zone"), "C");  // a value is cut at its own colon
  EXPECT_EQ(settingLineValue(lines, "primaryOutput"), "");
}

TEST(StringStringMap, ReadingAnAbsentKeyDoesNotInsertIt) {
  StringStringMap map;
  map.set("a", "1");
  EXPECT_EQ(map["missing"], "");
  EXPECT_EQ(map.size(), 1u);
  map.set("a", "2");
  EXPECT_EQ(map["a"], "2");
}

TEST(EmptyProperties, IsOneSharedEmptyBag) {
  IProperties& bag = emptyProperties();
  EXPECT_EQ(&bag, &emptyProperties());
  bag.setValue("k", "v");
  EXPECT_TRUE(bag.keys().empty());
  EXPECT_EQ(bag.valueOf("k"), "");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
