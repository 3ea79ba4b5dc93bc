#include "study/design_space.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>

#include <gtest/gtest.h>

namespace portalhost {
namespace {

double valueOf(const Design& design, const std::string& name) {
  for (const auto& [key, value] : design) {
    if (key == name) return value;
  }
  return std::nan("");
}

TEST(DesignSpaceTest, AGridVariesItsLastParameterFastest) {
  const DesignSpace grid = DesignSpace::grid({{"E", {70000, 210000}}, {"h", {15, 20, 25}}, {"P", {100}}});
  ASSERT_EQ(grid.size(), 6u);
  EXPECT_EQ(grid.at(0), (Design{{"E", 70000}, {"h", 15}, {"P", 100}}));
  EXPECT_EQ(grid.at(1), (Design{{"E", 70000}, {"h", 20}, {"P", 100}}));
  EXPECT_EQ(grid.at(5), (Design{{"E", 210000}, {"h", 25}, {"P", 100}}));
  EXPECT_THROW(grid.at(6), std::out_of_range);
}

TEST(DesignSpaceTest, AHugeGridIsNotBuiltInMemory) {
  std::vector<double> ten{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  const DesignSpace grid = DesignSpace::grid({{"a", ten}, {"b", ten}, {"c", ten}, {"d", ten}, {"e", ten},
                                              {"f", ten}, {"g", ten}, {"h", ten}, {"i", ten}});
  EXPECT_EQ(grid.size(), 1'000'000'000u);
  const Design last = grid.at(999'999'999);
  for (const auto& [name, value] : last) EXPECT_EQ(value, 9) << name;
  EXPECT_EQ(valueOf(grid.at(123'456'789), "b"), 2);
}

TEST(DesignSpaceTest, AGridBeyondSixtyFourBitsIsRefused) {
  std::vector<std::pair<std::string, std::vector<double>>> levels;
  for (int i = 0; i < 20; ++i) levels.emplace_back("p" + std::to_string(i), std::vector<double>(10, 1.0));
  EXPECT_THROW(DesignSpace::grid(levels), std::overflow_error);
}

TEST(DesignSpaceTest, AHypercubePutsOneSampleInEveryStratum) {
  const std::uint64_t n = 50;
  const DesignSpace lhs = DesignSpace::latinHypercube({{"x", {0, 10}}, {"y", {-5, 5}}}, n, 7);
  ASSERT_EQ(lhs.size(), n);
  for (const auto& [name, low] : std::vector<std::pair<std::string, double>>{{"x", 0}, {"y", -5}}) {
    std::set<int> strata;
    for (std::uint64_t i = 0; i < n; ++i) {
      const double v = valueOf(lhs.at(i), name);
      ASSERT_GE(v, low);
      ASSERT_LE(v, low + 10);
      strata.insert(static_cast<int>((v - low) / 10 * n));
    }
    EXPECT_EQ(strata.size(), n) << name;
  }
}

TEST(DesignSpaceTest, AHypercubeIsTheSameForTheSameSeedAndStaysFinite) {
  const auto make = [](std::uint64_t seed) {
    return DesignSpace::latinHypercube({{"x", {-1.7e308, 1.7e308}}}, 20, seed);
  };
  const DesignSpace a = make(3), b = make(3), c = make(4);
  bool differs = false;
  for (std::uint64_t i = 0; i < 20; ++i) {
    EXPECT_EQ(a.at(i), b.at(i));
    EXPECT_TRUE(std::isfinite(a.at(i).front().second));
    differs = differs || a.at(i) != c.at(i);
  }
  EXPECT_TRUE(differs);
  EXPECT_THROW(DesignSpace::latinHypercube({{"x", {0, 1}}}, DesignSpace::kMostHypercubeDesigns + 1, 1),
               std::length_error);
}

}  // namespace
}  // namespace portalhost
