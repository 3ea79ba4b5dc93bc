#include "beam_model.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brisol {
namespace {

const std::string kCantilever =
    "ABRE /%LENGTH/ /1000/\n"
    "ABRE /%WIDTH/ /20/\n"
    "ABRE /%HEIGHT/ /40/\n"
    "ABRE /%YOUNG/ /210000/\n"
    "ABRE /%LOAD/ /500/\n"
    "ABREMDIS /%ELEMENTS/ /8.0/\n";

struct Built {
  BeamModel model;
  std::vector<std::string> errors;
  std::vector<std::string> warnings;
};

Built build(const std::string& text) {
  std::istringstream in(text);
  Built built;
  buildModel(readDeck(in), built.model, built.errors, built.warnings);
  return built;
}

TEST(ModelValues, ComeFromTheAbbreviations) {
  const Built built = build(kCantilever);
  ASSERT_TRUE(built.errors.empty()) << built.errors[0];
  EXPECT_TRUE(built.warnings.empty());
  const BeamModel& model = built.model;
  EXPECT_EQ(1000, model.length);
  EXPECT_EQ(20, model.width);
  EXPECT_EQ(40, model.height);
  EXPECT_EQ(210000, model.young);
  EXPECT_EQ(500, model.load);
  EXPECT_EQ(8, model.elements);
  EXPECT_EQ(9, model.nodes());
  EXPECT_EQ(125, model.elementLength());
  EXPECT_EQ(800, model.area());
  EXPECT_DOUBLE_EQ(20.0 * 40 * 40 * 40 / 12, model.inertia());
  EXPECT_EQ(std::vector<Module>{Module::Static}, model.modules);
}

TEST(ModelValues, NumbersMayCarryBlanksAPlusSignOrAnExponent) {
  const Built built = build(kCantilever + "ABRE /%LOAD/ / +5e2 /\nABRE /%LENGTH/ /-0/\nABRE /%LENGTH/ /1e3/\n");
  ASSERT_TRUE(built.errors.empty()) << built.errors[0];
  EXPECT_EQ(500, built.model.load);
  EXPECT_EQ(1000, built.model.length);
}

TEST(ModelValues, AnyLoadIsAcceptedAndUpwardIsNegative) {
  EXPECT_TRUE(build(kCantilever + "ABRE /%LOAD/ /0/\n").errors.empty());
  const Built upward = build(kCantilever + "ABRE /%LOAD/ /-250/\n");
  EXPECT_TRUE(upward.errors.empty());
  EXPECT_EQ(-250, upward.model.load);
}

TEST(ModelErrors, NameTheAbbreviationItsLineAndTheValue) {
  const Built built = build(kCantilever +
                            "ABRE /%HEIGHT/ /0/\n"
                            "ABRE /%WIDTH/ /-20/\n"
                            "ABRE /%YOUNG/ /2,1e5/\n"
                            "ABRE /%LENGTH/ /nan/\n");
  ASSERT_EQ(4u, built.errors.size());
  EXPECT_EQ("LENGTH on line 10: the value \"nan\" is not a number", built.errors[0]);
  EXPECT_EQ("WIDTH on line 8 must be positive, found -20", built.errors[1]);
  EXPECT_EQ("HEIGHT on line 7 must be positive, found 0", built.errors[2]);
  EXPECT_EQ("YOUNG on line 9: the value \"2,1e5\" is not a number", built.errors[3]);
}

TEST(ModelErrors, AMissingValueIsAnError) {
  const Built built = build("ABRE /%LENGTH/ /1000/\n");
  ASSERT_EQ(5u, built.errors.size());
  EXPECT_EQ("The deck does not define WIDTH (section width in mm)", built.errors[0]);
  EXPECT_EQ("The deck does not define HEIGHT (section height in mm)", built.errors[1]);
  EXPECT_EQ("The deck does not define YOUNG (Young's modulus in MPa)", built.errors[2]);
  EXPECT_EQ("The deck does not define ELEMENTS (number of beam elements)", built.errors[3]);
  EXPECT_EQ("The deck does not define LOAD (tip load in N, positive downward)", built.errors[4]);
}

TEST(ModelErrors, ElementsMustBeAWholeNumberInRange) {
  EXPECT_EQ("ELEMENTS on line 7 must be a whole number, found 2.5",
            build(kCantilever + "ABRE /%ELEMENTS/ /2.5/\n").errors.at(0));
  EXPECT_EQ("ELEMENTS on line 7 must be at least 1, found 0",
            build(kCantilever + "ABRE /%ELEMENTS/ /0/\n").errors.at(0));
  EXPECT_EQ("ELEMENTS on line 7 must be at most 100000, found 1e+06",
            build(kCantilever + "ABRE /%ELEMENTS/ /1e6/\n").errors.at(0));
  EXPECT_EQ(1, build(kCantilever + "ABRE /%ELEMENTS/ /1/\n").model.elements);
}

TEST(ModelErrors, ValuesWhoseProductLeavesTheRangeOfADoubleAreRefused) {
  EXPECT_EQ(
      "The bending stiffness YOUNG * WIDTH * HEIGHT^3 / 12 = inf N mm^2 is out of range for an element length of "
      "125 mm",
      build(kCantilever + "ABRE /%YOUNG/ /1e300/\nABRE /%HEIGHT/ /1e10/\n").errors.at(0));
  EXPECT_EQ(
      "The bending stiffness YOUNG * WIDTH * HEIGHT^3 / 12 = 0 N mm^2 is out of range for an element length of "
      "125 mm",
      build(kCantilever + "ABRE /%HEIGHT/ /1e-120/\n").errors.at(0));
}

TEST(ModelModules, EachModuleAsksOnlyForWhatItNeeds) {
  const std::string noLoad =
      "ABRE /%LENGTH/ /1000/\nABRE /%WIDTH/ /20/\nABRE /%HEIGHT/ /40/\nABRE /%YOUNG/ /210000/\n"
      "ABRE /%ELEMENTS/ /4/\nMODULES modal\n";
  const Built withoutDensity = build(noLoad);
  ASSERT_EQ(1u, withoutDensity.errors.size());
  EXPECT_EQ("The deck does not define DENSITY (mass density in t/mm^3)", withoutDensity.errors[0]);
  const Built modal = build(noLoad + "ABRE /%DENSITY/ /7.85e-9/\n");
  ASSERT_TRUE(modal.errors.empty()) << modal.errors[0];
  EXPECT_EQ(std::vector<Module>{Module::Modal}, modal.model.modules);
  EXPECT_EQ(7.85e-9, modal.model.density);
  EXPECT_EQ(kDefaultModes, modal.model.modes);
}

TEST(ModelModules, RunInTheDecksOrderOnceEachUnknownOnesWarned) {
  const Built built = build(kCantilever + "ABRE /%DENSITY/ /7.85e-9/\nMODULES modal, buckling, static, modal\n");
  ASSERT_TRUE(built.errors.empty()) << built.errors[0];
  EXPECT_EQ((std::vector<Module>{Module::Modal, Module::Static}), built.model.modules);
  ASSERT_EQ(2u, built.warnings.size());
  EXPECT_EQ("line 8: unknown module \"buckling\" ignored (known: static, modal)", built.warnings[0]);
  EXPECT_EQ("line 8: module \"modal\" listed twice; it runs once", built.warnings[1]);
}

TEST(ModelModules, AModulesLineWithNothingToRunIsAnError) {
  const Built built = build(kCantilever + "MODULES buckling\n");
  ASSERT_EQ(1u, built.errors.size());
  EXPECT_EQ("The MODULES line on line 7 names no module this solver runs (known: static, modal)", built.errors[0]);
}

TEST(ModelModules, AskedForMoreModesThanFreedomsFindsAllThereAre) {
  const std::string modal = kCantilever + "ABRE /%DENSITY/ /1e-9/\nABRE /%ELEMENTS/ /1/\nMODULES modal\n";
  const Built quiet = build(modal);
  EXPECT_TRUE(quiet.warnings.empty());
  EXPECT_EQ(2, quiet.model.modes);
  const Built asked = build(modal + "ABRE /%MODES/ /5/\n");
  ASSERT_EQ(1u, asked.warnings.size());
  EXPECT_EQ("The model has 2 degrees of freedom, so the modal module finds 2 frequencies, not 5", asked.warnings[0]);
  EXPECT_EQ(2, asked.model.modes);
  EXPECT_EQ("MODES on line 10 must be at most 20, found 21", build(modal + "ABRE /%MODES/ /21/\n").errors.at(0));
}

TEST(ModelWarnings, AStockyBeamIsWarnedAbout) {
  const Built built = build(kCantilever + "ABRE /%HEIGHT/ /200/\n");
  ASSERT_EQ(1u, built.warnings.size());
  EXPECT_EQ(
      "The beam is stocky (LENGTH / HEIGHT = 5): shear deformation, which this beam theory neglects, is not "
      "small",
      built.warnings[0]);
  EXPECT_TRUE(build(kCantilever + "ABRE /%HEIGHT/ /100/\n").warnings.empty());
}

TEST(ModelNumbers, PrintAsTheShortestTextThatReadsBack) {
  EXPECT_EQ("0.1", formatNumber(0.1));
  EXPECT_EQ("-0.004", formatNumber(-0.004));
  EXPECT_EQ("1e+20", formatNumber(1e20));
  EXPECT_EQ("0.30000000000000004", formatNumber(0.1 + 0.2));
}

}  // namespace
}  // namespace brisol
