#include "scalar_transform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tallex {
namespace {

ScalarTransform transform(ScalarKind kind, std::vector<std::size_t> components) {
  return ScalarTransform{"C", "Name", kind, std::move(components)};
}

TEST(ScalarTransform, ComponentPicksTheNamedStoredNumber) {
  const double stored[] = {1.5, -2.5, 3.5};
  EXPECT_EQ(-2.5, evaluate(transform(ScalarKind::Component, {1}), stored));
}

TEST(ScalarTransform, MagnitudeIsTheLengthOfTheChosenComponents) {
  const double stored[] = {3.0, 99.0, 4.0, 12.0};
  EXPECT_DOUBLE_EQ(13.0, evaluate(transform(ScalarKind::Magnitude, {0, 2, 3}), stored));
  EXPECT_DOUBLE_EQ(99.0, evaluate(transform(ScalarKind::Magnitude, {1}), stored));
}

TEST(ScalarTransform, PlaneVonMisesOfUniaxialStressAndOfPureShear) {
  const double uniaxial[] = {-200.0, 0.0, 0.0};
  EXPECT_DOUBLE_EQ(200.0, evaluate(transform(ScalarKind::VonMises, {0, 1, 2}), uniaxial));
  const double shear[] = {0.0, 0.0, 10.0};
  EXPECT_DOUBLE_EQ(10.0 * std::sqrt(3.0), evaluate(transform(ScalarKind::VonMises, {0, 1, 2}), shear));
  const double equibiaxial[] = {50.0, 50.0, 0.0};
  EXPECT_DOUBLE_EQ(50.0, evaluate(transform(ScalarKind::VonMises, {0, 1, 2}), equibiaxial));
}

TEST(ScalarTransform, FullVonMisesIgnoresHydrostaticStressAndFollowsTheComponentOrder) {
  const double hydrostatic[] = {7.0, 7.0, 7.0, 0.0, 0.0, 0.0};
  EXPECT_NEAR(0.0, evaluate(transform(ScalarKind::VonMises, {0, 1, 2, 3, 4, 5}), hydrostatic), 1e-12);
  // Stored as sxy syz szx sxx syy szz: the transform's indexes put them in order.
  const double reordered[] = {0.0, 4.0, 0.0, 0.0, 0.0, 0.0};
  EXPECT_DOUBLE_EQ(4.0 * std::sqrt(3.0), evaluate(transform(ScalarKind::VonMises, {3, 4, 5, 0, 1, 2}), reordered));
  const double mixed[] = {100.0, 40.0, -20.0, 10.0, 0.0, 5.0};
  const double expected = std::sqrt(0.5 * (60.0 * 60.0 + 60.0 * 60.0 + 120.0 * 120.0) + 3.0 * (100.0 + 25.0));
  EXPECT_DOUBLE_EQ(expected, evaluate(transform(ScalarKind::VonMises, {0, 1, 2, 3, 4, 5}), mixed));
}

TEST(ScalarTransform, KindsAcceptOnlyTheirComponentCounts) {
  EXPECT_EQ("", checkComponentCount(ScalarKind::Component, 1));
  EXPECT_EQ("COMPONENT takes exactly one component, found 2", checkComponentCount(ScalarKind::Component, 2));
  EXPECT_EQ("MAGNITUDE takes at least one component", checkComponentCount(ScalarKind::Magnitude, 0));
  EXPECT_EQ("", checkComponentCount(ScalarKind::VonMises, 6));
  EXPECT_EQ("VONMISES takes 3 components (sxx syy sxy) or 6 (sxx syy szz sxy syz szx), found 4",
            checkComponentCount(ScalarKind::VonMises, 4));
}

TEST(ScalarTransform, KeywordsReadBackAsTheirKind) {
  for (ScalarKind kind : {ScalarKind::Component, ScalarKind::Magnitude, ScalarKind::VonMises}) {
    ScalarKind read = ScalarKind::Component;
    ASSERT_TRUE(scalarKindFromKeyword(scalarKindKeyword(kind), read));
    EXPECT_EQ(kind, read);
  }
  ScalarKind ignored;
  EXPECT_FALSE(scalarKindFromKeyword("magnitude", ignored));
}

}  // namespace
}  // namespace tallex
