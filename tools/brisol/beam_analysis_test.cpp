#include "beam_analysis.h"

#include <gtest/gtest.h>

#include <cmath>

namespace brisol {
namespace {

BeamModel cantilever(int elements, double load = 500) {
  BeamModel model;
  model.length = 1000;
  model.width = 20;
  model.height = 40;
  model.young = 210000;
  model.load = load;
  model.elements = elements;
  model.modules = {Module::Static};
  return model;
}

StaticResult solved(const BeamModel& model) {
  StaticResult result;
  std::string why;
  EXPECT_TRUE(solveStatic(model, result, why)) << why;
  return result;
}

double relative(double expected, double actual) { return std::abs(actual - expected) / std::abs(expected); }

// Cubic Hermite elements hold the exact deflection of a tip-loaded beam, a cubic,
// so the nodes agree with beam theory to rounding whatever the mesh.
TEST(StaticCantilever, TipDeflectionIsTheClosedFormForAnyMesh) {
  for (const int elements : {1, 2, 8, 16, 100}) {
    const BeamModel model = cantilever(elements);
    const double ei = model.young * model.inertia();
    const double expected = -model.load * std::pow(model.length, 3) / (3 * ei);
    const StaticResult result = solved(model);
    EXPECT_LT(relative(expected, result.tipDeflection()), 1e-9) << elements << " elements";
    const double tipSlope = -model.load * model.length * model.length / (2 * ei);
    EXPECT_LT(relative(tipSlope, result.slope.back()), 1e-9) << elements << " elements";
  }
}

TEST(StaticCantilever, EveryNodeLiesOnTheElasticLine) {
  const BeamModel model = cantilever(8);
  const double ei = model.young * model.inertia();
  const StaticResult result = solved(model);
  ASSERT_EQ(9u, result.deflection.size());
  EXPECT_EQ(0, result.deflection[0]);
  EXPECT_EQ(0, result.slope[0]);
  for (int node = 1; node < model.nodes(); ++node) {
    const double x = node * model.elementLength();
    const double expected = -model.load * x * x * (3 * model.length - x) / (6 * ei);
    EXPECT_LT(relative(expected, result.deflection[node]), 1e-9) << node;
  }
}

TEST(StaticCantilever, TheMomentFallsLinearlyFromTheClampToTheTip) {
  const BeamModel model = cantilever(4);
  const StaticResult result = solved(model);
  ASSERT_EQ(4u, result.moment.size());
  for (int e = 0; e < 4; ++e) {
    for (int end = 0; end < 2; ++end) {
      const double x = (e + end) * model.elementLength();
      const double expected = -model.load * (model.length - x);  // hogging
      EXPECT_NEAR(expected, result.moment[e][end], 1e-6 * model.load * model.length) << e << " " << end;
    }
  }
}

TEST(StaticCantilever, ADownwardLoadStretchesTheTopFibre) {
  const BeamModel model = cantilever(2);
  const StaticResult result = solved(model);
  const double rootMoment = result.moment[0][0];
  const double expected = model.load * model.length * (model.height / 2) / model.inertia();  // 4.6875 MPa
  EXPECT_LT(relative(expected, fibreStress(model, rootMoment, true)), 1e-9);
  EXPECT_LT(relative(-expected, fibreStress(model, rootMoment, false)), 1e-9);
}

TEST(StaticCantilever, ANegativeLoadLiftsTheTipAndNoLoadLeavesItStill) {
  EXPECT_GT(solved(cantilever(3, -100)).tipDeflection(), 0);
  const StaticResult unloaded = solved(cantilever(3, 0));
  for (const double w : unloaded.deflection) EXPECT_EQ(0, w);
}

TEST(StaticAssembly, NeighbouringElementsAddUpAtTheirSharedNode) {
  const BeamModel model = cantilever(2);
  const BandMatrix stiffness = assembleStiffness(model);
  ASSERT_EQ(4u, stiffness.size());
  const double l = model.elementLength();
  const double ei = model.young * model.inertia();
  const std::size_t middle = deflectionIndex(model, 1);
  const std::size_t tip = deflectionIndex(model, 2);
  EXPECT_EQ(0u, tip);
  EXPECT_EQ(2u, middle);
  EXPECT_DOUBLE_EQ(2 * 12 * ei / (l * l * l), stiffness.at(middle, middle));  // in both elements
  EXPECT_DOUBLE_EQ(2 * 4 * ei / l, stiffness.at(middle + 1, middle + 1));
  EXPECT_DOUBLE_EQ(12 * ei / (l * l * l), stiffness.at(tip, tip));  // in one
  EXPECT_DOUBLE_EQ(-12 * ei / (l * l * l), stiffness.at(middle, tip));
  EXPECT_DOUBLE_EQ(6 * ei / (l * l), stiffness.at(middle, tip + 1));
  EXPECT_DOUBLE_EQ(0, stiffness.at(middle, middle + 1));  // the 6l terms cancel at a shared node
}

// Unrefined, the factor alone is off by about 1e-5 at 1000 elements.
TEST(StaticRefinement, KeepsLongBeamsGoodToRounding) {
  for (const int elements : {1000, 20000, kMaxElements}) {
    const BeamModel model = cantilever(elements);
    const double expected = -model.load * std::pow(model.length, 3) / (3 * model.young * model.inertia());
    const StaticResult result = solved(model);
    EXPECT_TRUE(result.settled);
    EXPECT_LT(relative(expected, result.tipDeflection()), 1e-13) << elements << " elements";
  }
}

TEST(StaticRefinement, ReportsASolutionThatDoesNotSettle) {
  const BeamModel model = cantilever(500000);  // beyond what a deck may ask for
  StiffnessSolver solver;
  std::string why;
  ASSERT_TRUE(solver.factor(model, why)) << why;
  std::vector<double> u(2 * 500000, 0.0);
  u[0] = -model.load;
  EXPECT_FALSE(solver.solve(u));
}

TEST(StaticAssembly, TheMassOfTheWholeBeamIsRhoAL) {
  BeamModel model = cantilever(5);
  model.density = 7.85e-9;
  const BandMatrix mass = assembleMass(model);
  // Lifting every free node by one: the clamped node's share is missing, so
  // add it from one element's matrix corner (156 and 54 parts of rho A l / 420).
  std::vector<double> lift(mass.size(), 0.0);
  for (std::size_t i = 0; i < lift.size(); i += 2) lift[i] = 1;
  double moved = 0;
  const std::vector<double> product = mass.multiply(lift);
  for (std::size_t i = 0; i < lift.size(); ++i) moved += lift[i] * product[i];
  const double rhoAl = model.density * model.area() * model.elementLength();
  const double clampShare = rhoAl * (156 + 2 * 54) / 420;
  EXPECT_NEAR(model.density * model.area() * model.length, moved + clampShare, 1e-12);
}

}  // namespace
}  // namespace brisol
