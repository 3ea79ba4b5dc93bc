#include "modal_analysis.h"

#include <gtest/gtest.h>

#include <cmath>

#include "beam_analysis.h"
#include "beam_element.h"

namespace brisol {
namespace {

constexpr double kPi = 3.14159265358979323846;

BeamModel cantilever(int elements, int modes) {
  BeamModel model;
  model.length = 1000;
  model.width = 20;
  model.height = 40;
  model.young = 210000;
  model.density = 7.85e-9;
  model.elements = elements;
  model.modes = modes;
  model.modules = {Module::Modal};
  return model;
}

std::vector<Mode> solved(const BeamModel& model) {
  std::vector<Mode> modes;
  std::string why;
  EXPECT_TRUE(solveModal(model, modes, why)) << why;
  return modes;
}

// Beam theory: f_k = (beta_k L)^2 sqrt(EI / (rho A L^4)) / (2 pi).
double closedForm(const BeamModel& model, double betaL) {
  return betaL * betaL *
         std::sqrt(model.young * model.inertia() / (model.density * model.area() * std::pow(model.length, 4))) /
         (2 * kPi);
}

TEST(ModalCantilever, FrequenciesApproachBeamTheory) {
  const BeamModel model = cantilever(20, 3);
  const std::vector<Mode> modes = solved(model);
  ASSERT_EQ(3u, modes.size());
  EXPECT_NEAR(closedForm(model, 1.87510407), modes[0].frequency, 1e-5 * modes[0].frequency);
  EXPECT_NEAR(closedForm(model, 4.69409113), modes[1].frequency, 1e-4 * modes[1].frequency);
  EXPECT_NEAR(closedForm(model, 7.85475744), modes[2].frequency, 1e-3 * modes[2].frequency);
  for (const Mode& mode : modes) EXPECT_TRUE(mode.converged);
}

TEST(ModalCantilever, TheFirstFrequencyIsWithinOnePercentForAFewElements) {
  for (const int elements : {2, 4, 8}) {
    const BeamModel model = cantilever(elements, 1);
    const double expected = closedForm(model, 1.87510407);
    EXPECT_NEAR(expected, solved(model).at(0).frequency, 0.01 * expected) << elements;
  }
}

// One element leaves a 2 x 2 problem: det(K - lambda M) = 0 is a quadratic.
TEST(ModalCantilever, OneElementGivesTheRootsOfItsCharacteristicEquation) {
  const BeamModel model = cantilever(1, 2);
  const ElementMatrix k = elementStiffness(model.young * model.inertia(), model.length);
  const ElementMatrix m = elementMass(model.density * model.area(), model.length);
  // The tip's freedoms are the last two of the element.
  const double a = m[2][2] * m[3][3] - m[2][3] * m[2][3];
  const double b = -(k[2][2] * m[3][3] + k[3][3] * m[2][2] - 2 * k[2][3] * m[2][3]);
  const double c = k[2][2] * k[3][3] - k[2][3] * k[2][3];
  const double root = std::sqrt(b * b - 4 * a * c);
  const double lowest = (-b - root) / (2 * a);
  const double highest = (-b + root) / (2 * a);
  const std::vector<Mode> modes = solved(model);
  ASSERT_EQ(2u, modes.size());
  EXPECT_NEAR(std::sqrt(lowest) / (2 * kPi), modes[0].frequency, 1e-9 * modes[0].frequency);
  EXPECT_NEAR(std::sqrt(highest) / (2 * kPi), modes[1].frequency, 1e-9 * modes[1].frequency);
}

TEST(ModalShapes, AreScaledToAUnitPeakAndHeldAtTheClamp) {
  const std::vector<Mode> modes = solved(cantilever(10, 2));
  for (const Mode& mode : modes) {
    ASSERT_EQ(11u, mode.deflection.size());
    EXPECT_EQ(0, mode.deflection[0]);
    EXPECT_EQ(0, mode.slope[0]);
    double peak = 0;
    for (const double w : mode.deflection) {
      if (std::abs(w) > std::abs(peak)) peak = w;
    }
    EXPECT_DOUBLE_EQ(1.0, peak);
  }
  // The first mode bends one way only, and its peak is the tip.
  for (const double w : modes[0].deflection) EXPECT_GE(w, 0);
  EXPECT_DOUBLE_EQ(1.0, modes[0].deflection.back());
}

TEST(ModalShapes, AreMassOrthogonal) {
  const BeamModel model = cantilever(12, 3);
  const std::vector<Mode> modes = solved(model);
  const BandMatrix mass = assembleMass(model);
  auto freedoms = [&](const Mode& mode) {
    std::vector<double> x(mass.size());
    for (int node = 1; node < model.nodes(); ++node) {
      x[deflectionIndex(model, node)] = mode.deflection[node];
      x[deflectionIndex(model, node) + 1] = mode.slope[node];
    }
    return x;
  };
  auto product = [&](const Mode& a, const Mode& b) {
    const std::vector<double> x = freedoms(a);
    const std::vector<double> y = mass.multiply(freedoms(b));
    double sum = 0;
    for (std::size_t i = 0; i < x.size(); ++i) sum += x[i] * y[i];
    return sum;
  };
  for (std::size_t i = 0; i < modes.size(); ++i) {
    for (std::size_t j = i + 1; j < modes.size(); ++j) {
      const double scale = std::sqrt(product(modes[i], modes[i]) * product(modes[j], modes[j]));
      EXPECT_NEAR(0, product(modes[i], modes[j]) / scale, 1e-6) << i << " " << j;
    }
  }
}

TEST(ModalCantilever, FindsEveryModeOfASmallModel) {
  const BeamModel model = cantilever(3, 6);
  const std::vector<Mode> modes = solved(model);
  ASSERT_EQ(6u, modes.size());
  for (std::size_t k = 1; k < modes.size(); ++k) EXPECT_GT(modes[k].frequency, modes[k - 1].frequency * 1.01) << k;
  for (const Mode& mode : modes) EXPECT_TRUE(mode.converged);
}

}  // namespace
}  // namespace brisol
