#include "study/plot_axis.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <set>

namespace portalhost {
namespace {

using Labels = std::vector<std::string>;

Labels labels(const Axis& axis) {
  Labels out;
  for (const AxisTick& tick : axis.ticks) out.push_back(tick.label);
  return out;
}

// The digits between a label's first and last nonzero one:
// "0.30000000000000004" has 17, "995000" 3, "2.5e+06" 2.
int significantDigits(const std::string& label) {
  std::string digits;
  for (char c : label.substr(0, label.find('e'))) {
    if (c >= '0' && c <= '9') digits += c;
  }
  const auto first = digits.find_first_not_of('0');
  return first == std::string::npos ? 0 : static_cast<int>(digits.find_last_not_of('0') - first + 1);
}

// What every axis must be: ticks from at or below the data to at or above
// it, one round step apart, labelled with text that reads back as the tick,
// differs from its neighbours and has no more digits than the step needs.
::testing::AssertionResult isNiceAxisOver(const Axis& axis, double low, double high) {
  const auto& ticks = axis.ticks;
  if (ticks.size() < 3 || ticks.size() > 12) return ::testing::AssertionFailure() << ticks.size() << " ticks";
  if (axis.low != ticks.front().value || axis.high != ticks.back().value || axis.low > low || axis.high < high) {
    return ::testing::AssertionFailure() << "[" << axis.low << ", " << axis.high << "] does not cover the data";
  }
  const double largest = std::max(std::fabs(axis.low), std::fabs(axis.high));
  const double measured = ticks[1].value - ticks[0].value;
  // Ticks are as exact as doubles of their magnitude can be.
  const double tolerance = measured * 1e-9 + 4 * largest * DBL_EPSILON;
  const double power = std::pow(10.0, std::floor(std::log10(measured) + 0.01));
  double step = 0;
  for (double factor : {1, 2, 5, 10}) {
    if (std::fabs(measured - factor * power) <= tolerance) step = factor * power;
  }
  if (step == 0) return ::testing::AssertionFailure() << "step " << measured << " is not round";
  const int digits = static_cast<int>(std::floor(std::log10(largest)) - std::floor(std::log10(step))) + 1;
  std::set<std::string> seen;
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    const AxisTick& tick = ticks[i];
    if ((i > 0 && std::fabs(tick.value - ticks[i - 1].value - step) > tolerance) ||
        std::fabs(std::strtod(tick.label.c_str(), nullptr) - tick.value) > tolerance ||
        significantDigits(tick.label) > digits || !seen.insert(tick.label).second) {
      return ::testing::AssertionFailure() << "tick " << i << ": " << tick.label << " for " << tick.value;
    }
  }
  return ::testing::AssertionSuccess();
}

TEST(PlotAxis, RoundStepsCoverTheDataAndLabelsCarryTheDigitsTheStepNeeds) {
  const Axis unit = niceAxis(0.03, 0.97);
  EXPECT_EQ(0, unit.low);
  EXPECT_EQ(1, unit.high);
  EXPECT_EQ((Labels{"0", "0.2", "0.4", "0.6", "0.8", "1"}), labels(unit));
  EXPECT_EQ((Labels{"-2", "-1", "0", "1", "2", "3", "4"}), labels(niceAxis(-1.2, 3.7)));
  EXPECT_EQ((Labels{"60", "80", "100", "120", "140", "160", "180", "200", "220"}), labels(niceAxis(70, 210, 8)));

  const Axis fine = niceAxis(0.61, 0.79);
  EXPECT_EQ((Labels{"0.6", "0.65", "0.7", "0.75", "0.8"}), labels(fine));
  EXPECT_EQ(0.7, fine.ticks[2].value);  // the number its label names, not 14 * 0.05
  // 1000.002 / 0.002 rounds below 500001: the data's first value is a tick all the same.
  EXPECT_EQ((Labels{"1000.002", "1000.004", "1000.006", "1000.008", "1000.01"}), labels(niceAxis(1000.002, 1000.0099)));
}

TEST(PlotAxis, LargeAndTinyMagnitudesTakeAShortExponent) {
  EXPECT_EQ((Labels{"0", "5e+05", "1e+06", "1.5e+06", "2e+06", "2.5e+06"}), labels(niceAxis(0, 2.4e6)));
  EXPECT_EQ((Labels{"0", "2e-05", "4e-05", "6e-05", "8e-05", "1e-04"}), labels(niceAxis(0, 9e-5)));
  EXPECT_EQ((Labels{"-1e+308", "-5e+307", "0", "5e+307", "1e+308"}), labels(niceAxis(-1e308, 1e308)));
  EXPECT_EQ((Labels{"0", "0.001", "0.002", "0.003", "0.004", "0.005"}), labels(niceAxis(0.0004, 0.0049)));
}

TEST(PlotAxis, ASingleValueOrEndsTheWrongWayRoundStillGiveAnAxis) {
  EXPECT_EQ((Labels{"4.4", "4.6", "4.8", "5", "5.2", "5.4", "5.6"}), labels(niceAxis(5, 5)));
  EXPECT_EQ((Labels{"-1", "-0.5", "0", "0.5", "1"}), labels(niceAxis(0, 0)));
  EXPECT_EQ((Labels{"-1", "-0.5", "0", "0.5", "1"}), labels(niceAxis(-0.0, -0.0)));
  EXPECT_TRUE(isNiceAxisOver(niceAxis(-2e-7, -2e-7), -2.2e-7, -1.8e-7));
  EXPECT_EQ(labels(niceAxis(0.03, 0.97)), labels(niceAxis(0.97, 0.03)));
}

TEST(PlotAxis, EveryRangeGetsANiceAxis) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> unit(-1, 1);
  std::uniform_int_distribution<int> power(-12, 12), narrowing(0, 5);
  for (int i = 0; i < 20000; ++i) {
    const double scale = std::pow(10.0, power(random));
    const double low = unit(random) * scale,
                 high = low + std::fabs(unit(random)) * scale / std::pow(10, narrowing(random));
    if (!(high > low)) continue;
    ASSERT_TRUE(isNiceAxisOver(niceAxis(low, high), low, high)) << "[" << low << ", " << high << "]";
  }
}

TEST(PlotAxis, ExtremeInputsGiveAFewFiniteTicks) {
  const double big = DBL_MAX, tiny = std::numeric_limits<double>::denorm_min(), nan = std::nan(""), inf = HUGE_VAL;
  const std::vector<std::pair<double, double>> ranges{
      {0, big}, {-big, big}, {big, big}, {-big, -big}, {tiny, 2 * tiny}, {0, tiny}, {tiny, tiny},
      {1e16, 1e16 + 2}, {1e300, 1e300 * (1 + 1e-15)}, {nan, 1}, {nan, nan}, {1, inf}, {-inf, inf}};
  for (const auto& [low, high] : ranges) {
    for (int wanted : {-5, 0, 1, 5, 1000000}) {
      const Axis axis = niceAxis(low, high, wanted);
      ASSERT_FALSE(axis.ticks.empty());
      EXPECT_LE(axis.ticks.size(), 100u) << low << ", " << high;
      EXPECT_TRUE(std::isfinite(axis.low) && std::isfinite(axis.high) && axis.low <= axis.high) << low << ", " << high;
      for (const AxisTick& tick : axis.ticks) {
        EXPECT_TRUE(std::isfinite(tick.value) && !tick.label.empty() && tick.label.size() <= 24) << tick.label;
      }
    }
  }
  const Axis top = niceAxis(big, big);
  EXPECT_TRUE(top.low < big && top.high == big);
}

}  // namespace
}  // namespace portalhost
