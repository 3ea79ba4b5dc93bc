#include "beam_element.h"

#include <gtest/gtest.h>

namespace brisol {
namespace {

double quadratic(const ElementMatrix& matrix, const ElementVector& a, const ElementVector& b) {
  double sum = 0;
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) sum += a[i] * matrix[i][j] * b[j];
  }
  return sum;
}

ElementVector times(const ElementMatrix& matrix, const ElementVector& x) {
  ElementVector y{};
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) y[i] += matrix[i][j] * x[j];
  }
  return y;
}

constexpr double kEI = 3.0e6;
constexpr double kLength = 2.5;

TEST(ElementStiffness, IsSymmetric) {
  const ElementMatrix k = elementStiffness(kEI, kLength);
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) EXPECT_EQ(k[i][j], k[j][i]);
  }
}

TEST(ElementStiffness, RigidMotionsStoreNoEnergy) {
  const ElementMatrix k = elementStiffness(kEI, kLength);
  const ElementVector translation = {1, 0, 1, 0};
  const ElementVector rotation = {0, 1, kLength, 1};  // w = x
  for (const double force : times(k, translation)) EXPECT_NEAR(0, force, 1e-9);
  for (const double force : times(k, rotation)) EXPECT_NEAR(0, force, 1e-9);
}

// For w = x^2 the curvature is 2 everywhere, so twice the strain energy is EI * 4 * l.
TEST(ElementStiffness, GivesTheBendingEnergyOfAnExactCurvature) {
  const ElementMatrix k = elementStiffness(kEI, kLength);
  const ElementVector parabola = {0, 0, kLength * kLength, 2 * kLength};
  EXPECT_NEAR(kEI * 4 * kLength, quadratic(k, parabola, parabola), 1e-9 * kEI * kLength);
}

// The textbook entries at the first node: 12 EI / l^3 and 4 EI / l.
TEST(ElementStiffness, HasTheKnownDiagonal) {
  const ElementMatrix k = elementStiffness(kEI, kLength);
  EXPECT_DOUBLE_EQ(12 * kEI / (kLength * kLength * kLength), k[0][0]);
  EXPECT_DOUBLE_EQ(4 * kEI / kLength, k[1][1]);
  EXPECT_DOUBLE_EQ(2 * kEI / kLength, k[1][3]);
  EXPECT_DOUBLE_EQ(-6 * kEI / (kLength * kLength), k[2][3]);
}

TEST(ElementForces, AreTheStiffnessTimesTheFreedoms) {
  const ElementMatrix k = elementStiffness(kEI, kLength);
  const ElementVector d = {0.3, -0.02, -0.7, 0.05};
  const ElementVector expected = times(k, d);
  const PreciseVector forces = elementForces(kEI, kLength, {d[0], d[1], d[2], d[3]});
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(expected[i], static_cast<double>(forces[i]), 1e-9 * kEI) << i;
}

// The rounded matrix makes a large rigid motion cost a little force; the
// misfit form costs none.
TEST(ElementForces, ARigidMotionCostsNothingEvenFarFromTheOrigin) {
  const long double w = 1234.5678L;
  const long double slope = 0.125L;
  const PreciseVector forces = elementForces(kEI, kLength, {w, slope, w + slope * kLength, slope});
  for (const long double force : forces) EXPECT_EQ(0.0L, force);
}

TEST(ElementMass, IsSymmetricAndCarriesTheElementsMass) {
  const double rhoA = 7.85e-9 * 800;
  const ElementMatrix m = elementMass(rhoA, kLength);
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) EXPECT_EQ(m[i][j], m[j][i]);
  }
  const ElementVector translation = {1, 0, 1, 0};
  EXPECT_NEAR(rhoA * kLength, quadratic(m, translation, translation), 1e-12 * rhoA * kLength);
  // Rotating rigidly about the first node: the integral of rho A x^2 is rho A l^3 / 3.
  const ElementVector rotation = {0, 1, kLength, 1};
  EXPECT_NEAR(rhoA * kLength * kLength * kLength / 3, quadratic(m, rotation, rotation), 1e-12 * rhoA * 10);
}

TEST(ElementCurvature, IsExactForCubicDeflections) {
  const ElementVector parabola = {0, 0, kLength * kLength, 2 * kLength};  // w = x^2
  for (const double xi : {0.0, 0.3, 1.0}) EXPECT_NEAR(2, elementCurvature(parabola, kLength, xi), 1e-12);
  const ElementVector cubic = {0, 0, kLength * kLength * kLength, 3 * kLength * kLength};  // w = x^3
  for (const double xi : {0.0, 0.5, 1.0}) EXPECT_NEAR(6 * kLength * xi, elementCurvature(cubic, kLength, xi), 1e-12);
  const ElementVector straight = {1, 0.5, 1 + 0.5 * kLength, 0.5};
  EXPECT_NEAR(0, elementCurvature(straight, kLength, 0.7), 1e-12);
}

}  // namespace
}  // namespace brisol
