#include "location_pattern.h"

#include <gtest/gtest.h>

namespace tallex {
namespace {

const std::vector<std::string> kElementNode = {"Element", "Node"};

LocationPattern parsed(const std::string& code) {
  LocationPattern pattern;
  std::string error;
  EXPECT_TRUE(pattern.parse(code, kElementNode, error)) << error;
  return pattern;
}

std::string parseError(const std::string& code) {
  LocationPattern pattern;
  std::string error;
  EXPECT_FALSE(pattern.parse(code, kElementNode, error));
  return error;
}

TEST(LocationPattern, APlaceholderFixesTheColumnOfTheKindBeforeIt) {
  std::vector<IdFilter> filters;
  ASSERT_TRUE(parsed("Node %d").match("Node 12", filters));
  ASSERT_EQ(1u, filters.size());
  EXPECT_EQ(1u, filters[0].column);
  EXPECT_EQ(12, filters[0].id);
  ASSERT_TRUE(parsed("Element %d Node %d").match("  Element   3\tNode -4 ", filters));
  ASSERT_EQ(2u, filters.size());
  EXPECT_EQ(0u, filters[0].column);
  EXPECT_EQ(3, filters[0].id);
  EXPECT_EQ(-4, filters[1].id);
}

TEST(LocationPattern, AWholeSupportMatchesOnlyItsOwnWords) {
  std::vector<IdFilter> filters{{0, 1}};
  EXPECT_TRUE(parsed("All nodes").match("All  nodes", filters));
  EXPECT_TRUE(filters.empty());
  EXPECT_FALSE(parsed("All nodes").match("All", filters));
  EXPECT_FALSE(parsed("All nodes").match("all nodes", filters));
}

TEST(LocationPattern, APlaceholderTakesOnlyAWholeInteger) {
  std::vector<IdFilter> filters;
  const LocationPattern node = parsed("Node %d");
  EXPECT_FALSE(node.match("Node %d", filters));
  EXPECT_FALSE(node.match("Node 1.5", filters));
  EXPECT_FALSE(node.match("Node 12x", filters));
  EXPECT_FALSE(node.match("Node", filters));
  EXPECT_FALSE(node.match("Element 12", filters));
  EXPECT_FALSE(node.match("Node 99999999999999999999", filters));
}

TEST(LocationPattern, RefusesPlaceholdersThatFixNoKnownColumn) {
  EXPECT_EQ("\"%d\" in location \"Ply %d\" does not follow an identifier kind of the result", parseError("Ply %d"));
  EXPECT_EQ("\"%d\" in location \"%d\" does not follow an identifier kind of the result", parseError("%d"));
  EXPECT_EQ("\"%d\" in location \"Node %d %d\" does not follow an identifier kind of the result",
            parseError("Node %d %d"));
  EXPECT_EQ("location \"Node %d Node %d\" fixes the Node identifier twice", parseError("Node %d Node %d"));
  EXPECT_EQ("location \"Time %g\" holds a '%' that is not a \"%d\" placeholder", parseError("Time %g"));
  EXPECT_EQ("location \"Node%d\" holds a '%' that is not a \"%d\" placeholder", parseError("Node%d"));
  EXPECT_EQ("the location code is empty", parseError("  "));
}

TEST(LocationPattern, NormalizedFormIgnoresSpacing) {
  EXPECT_EQ("Element %d Node %d", parsed(" Element  %d\tNode %d").normalized());
}

}  // namespace
}  // namespace tallex
