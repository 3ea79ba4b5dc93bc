#include "results_database.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brisol {
namespace {

// I = 12 * 1^3 / 12 = 1, so stresses are moment times half the height.
BeamModel tinyModel() {
  BeamModel model;
  model.length = 10;
  model.width = 12;
  model.height = 1;
  model.young = 1000;
  model.load = 3;
  model.elements = 1;
  return model;
}

StaticResult tinyStatic() {
  StaticResult result;
  result.deflection = {0, -1};
  result.slope = {0, -0.15};
  result.moment = {{-30, -0.0}};
  return result;
}

std::vector<Mode> tinyModes() {
  Mode first;
  first.frequency = 2.5;
  first.deflection = {0, 1};
  first.slope = {0, 0.125};
  Mode second;
  second.frequency = 15.75;
  second.deflection = {0, -1};
  second.slope = {0, 0.5};
  return {first, second};
}

std::string text(const SolvedResults& results) {
  std::ostringstream out;
  writeDatabase(out, tinyModel(), results, "tiny.dat");
  return out.str();
}

const std::string kHead =
    "$$TALLEX_RESULTS 1\n"
    "! Brisol: tiny.dat, cantilever of 1 beam element(s)\n";

const std::string kStatic =
    "RESULT \"DISP\" \"Nodal displacements\"\n"
    "IDS Node\n"
    "COMPONENTS UZ RY\n"
    "SCALAR \"UZ\" \"Translation Z\" COMPONENT UZ\n"
    "SCALAR \"RY\" \"Rotation Y\" COMPONENT RY\n"
    "SCALAR \"MAG\" \"Translation magnitude\" MAGNITUDE UZ\n"
    "SUPPORT \"Node %d\" \"Node\"\n"
    "SUPPORT \"NODES\" \"All nodes\"\n"
    "STEP TIME 1\n"
    "1 0 0\n"
    "2 -1 0.15\n"
    "END\n"
    "RESULT \"BEND\" \"Bending moments\"\n"
    "IDS Element Node\n"
    "COMPONENTS MY\n"
    "SCALAR \"MY\" \"Bending moment\" COMPONENT MY\n"
    "SUPPORT \"Element %d\" \"Element\"\n"
    "SUPPORT \"Element %d Node %d\" \"Element node\"\n"
    "SUPPORT \"ELEMENTS\" \"All elements\"\n"
    "STEP TIME 1\n"
    "1 1 -30\n"
    "1 2 0\n"
    "END\n"
    "RESULT \"STRS\" \"Bending stresses\"\n"
    "IDS Element Node\n"
    "COMPONENTS SXX\n"
    "SCALAR \"SXX\" \"Axial stress\" COMPONENT SXX\n"
    "SUPPORT \"Element %d\" \"Element\"\n"
    "SUPPORT \"Element %d Node %d\" \"Element node\"\n"
    "SUPPORT \"ELEMENTS\" \"All elements\"\n"
    "SELECTION \"TOP\" \"Top fibre\"\n"
    "SELECTION \"BOT\" \"Bottom fibre\"\n"
    "STEP TIME 1 SELECTION \"TOP\"\n"
    "1 1 15\n"
    "1 2 0\n"
    "STEP TIME 1 SELECTION \"BOT\"\n"
    "1 1 -15\n"
    "1 2 0\n"
    "END\n";

const std::string kModal =
    "RESULT \"FREQ\" \"Natural frequencies\"\n"
    "IDS Mode\n"
    "COMPONENTS F\n"
    "SCALAR \"F\" \"Frequency (Hz)\" COMPONENT F\n"
    "SUPPORT \"MODES\" \"All modes\"\n"
    "STEP \"MODE1\" \"Mode 1\"\n"
    "1 2.5\n"
    "STEP \"MODE2\" \"Mode 2\"\n"
    "2 15.75\n"
    "END\n"
    "RESULT \"MODE\" \"Mode shapes\"\n"
    "IDS Node\n"
    "COMPONENTS UZ RY\n"
    "SCALAR \"UZ\" \"Translation Z\" COMPONENT UZ\n"
    "SCALAR \"RY\" \"Rotation Y\" COMPONENT RY\n"
    "SCALAR \"MAG\" \"Translation magnitude\" MAGNITUDE UZ\n"
    "SUPPORT \"Node %d\" \"Node\"\n"
    "SUPPORT \"NODES\" \"All nodes\"\n"
    "STEP \"MODE1\" \"Mode 1\"\n"
    "1 0 0\n"
    "2 1 -0.125\n"
    "STEP \"MODE2\" \"Mode 2\"\n"
    "1 0 0\n"
    "2 -1 -0.5\n"
    "END\n";

// RY turns +Z towards +X, so a downward-bending tip turns positively; the
// unloaded end's stresses are zero, never "-0".
TEST(ResultsDatabase, HoldsTheStaticResultsExactly) {
  const StaticResult statics = tinyStatic();
  SolvedResults results;
  results.statics = &statics;
  EXPECT_EQ(kHead + kStatic, text(results));
}

TEST(ResultsDatabase, HoldsTheModalResultsWithOneStepPerMode) {
  const std::vector<Mode> modes = tinyModes();
  SolvedResults results;
  results.modes = &modes;
  EXPECT_EQ(kHead + kModal, text(results));
}

TEST(ResultsDatabase, HoldsEveryFinishedModuleStaticFirst) {
  const StaticResult statics = tinyStatic();
  const std::vector<Mode> modes = tinyModes();
  SolvedResults results;
  results.statics = &statics;
  results.modes = &modes;
  EXPECT_EQ(kHead + kStatic + kModal, text(results));
}

TEST(ResultsDatabase, NumbersKeepEveryDigit) {
  StaticResult statics = tinyStatic();
  statics.deflection[1] = 0.1 + 0.2;
  statics.slope[1] = -1.0 / 3;
  SolvedResults results;
  results.statics = &statics;
  EXPECT_NE(std::string::npos, text(results).find("\n2 0.30000000000000004 0.3333333333333333\n"));
}

}  // namespace
}  // namespace brisol
