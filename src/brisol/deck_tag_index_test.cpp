#include "brisol/deck_tag_index.h"

#include <gtest/gtest.h>

namespace ORLIX {
namespace Portals {
namespace {

TagData tag(const String& abbreviation, const String& paramName) {
  TagData data;
  data.path = {"ABRE", abbreviation};
  data.paramName = paramName;
  return data;
}

TEST(DeckTagIndex, TheFirstTagOfAnAbbreviationAnswers) {
  const TagList tags{tag("A", "a"), tag("B", "b1"), tag("B", "b2"), TagData{{"ABRE"}, "x", "", {}}};
  DeckTagIndex index(tags);
  ASSERT_NE(index.find("B"), nullptr);
  EXPECT_EQ(index.find("B")->paramName, "b1");  // also right after itself
  EXPECT_EQ(index.find("A")->paramName, "a");
  EXPECT_EQ(index.find("a"), nullptr);  // abbreviations are matched as written
  EXPECT_EQ(index.find("ABRE"), nullptr);
}

// Each write strikes the earliest pending occurrence of its name; names are
// listed in the tag file's order, repeats included.
TEST(DeckTagIndex, PendingParametersKeepTheirOrderAndRepeats) {
  const TagList tags{tag("A", "p"), tag("B", "q"), tag("C", "p"), tag("D", "r"), tag("E", "p")};
  DeckTagIndex index(tags);
  EXPECT_EQ(index.pending(), (StringList{"p", "q", "p", "r", "p"}));
  const auto write = [&](const String& abbreviation) {
    const TagData* tag = index.find(abbreviation);
    ASSERT_NE(tag, nullptr);
    index.written(tag);
  };
  write("E");  // the earliest "p" goes, whichever tag was written
  write("D");
  EXPECT_EQ(index.pending(), (StringList{"q", "p", "p"}));
  const TagData* c = index.find("C");
  write("A");
  index.written(c);  // not the last one found
  write("A");  // more writes than tags: nothing left, nothing odd
  write("B");
  EXPECT_TRUE(index.pending().empty());
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
