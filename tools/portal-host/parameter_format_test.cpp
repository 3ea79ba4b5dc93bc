#include "parameter_format.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace portalhost {
namespace {

TEST(ParameterFormat, PrintsNumbersThroughAFloatingConversion) {
  EXPECT_EQ("  12.346", formatParameterValue("12.3456", "%8.3f"));
  EXPECT_EQ("1.5e+00", formatParameterValue("1.5", "%.1e"));
  EXPECT_EQ("0.001", formatParameterValue("1e-3", "%g"));
  EXPECT_EQ("+2.50", formatParameterValue("2.5", "%+.2f"));
  EXPECT_EQ("2.5   |", formatParameterValue("2.5", "%-6g|"));
}

// Texts of any width come out whole, on either side of the printing buffer's size.
TEST(ParameterFormat, WideTextsComeOutWhole) {
  for (const int width : {127, 128, 400}) {
    const std::string text = formatParameterValue("2.5", "%" + std::to_string(width) + ".1f");
    EXPECT_EQ(text, std::string(static_cast<std::size_t>(width) - 3, ' ') + "2.5");
  }
  EXPECT_EQ(formatParameterValue("1e300", "%f").substr(0, 4), "1000");
  EXPECT_EQ(formatParameterValue("1e300", "%f").size(), 308u);
}

// The plain conversions take a shorter way than printf; they must print
// what printf prints, digit for digit, rounding and exponents included.
TEST(ParameterFormat, PlainConversionsPrintWhatPrintfPrints) {
  const double values[] = {0.0, -0.0, 1.0, 0.5, 2.5, -3.75, 1e-3, 123456.5, 1234567.0,
                           0.1 + 0.2, 9.9999995, 1e-5, 1.5e300, -2.2250738585072014e-308,
                           999999.5, 0.000123456789, 4.35, 2.675};
  const char* formats[] = {"%g", "%e", "%f", "%.0g", "%.1g", "%.3g", "%.17g", "%.g", "%.0e",
                           "%.2e", "%.10e", "%.0f", "%.2f", "%.12f"};
  for (const double value : values) {
    char number[64];
    std::snprintf(number, sizeof number, "%.17g", value);
    for (const char* format : formats) {
      char expected[512];
      std::snprintf(expected, sizeof expected, format, value);
      EXPECT_EQ(formatParameterValue(number, format), expected) << format << " of " << number;
    }
  }
}

TEST(ParameterFormat, IntegerConversionsTruncate) {
  EXPECT_EQ("3", formatParameterValue("3.99", "%d"));
  EXPECT_EQ("-3", formatParameterValue("-3.99", "%i"));
  EXPECT_EQ("  007", formatParameterValue("7.2", "%5.3d"));
  EXPECT_EQ("12", formatParameterValue("1.2e1", "%d"));
}

TEST(ParameterFormat, KeepsTextAroundTheConversion) {
  EXPECT_EQ("x=1.50 mm", formatParameterValue("1.5", "x=%.2f mm"));
  EXPECT_EQ("50%", formatParameterValue("50", "%d%%"));
}

TEST(ParameterFormat, LeavesValuesThatDoNotReadWholeAsANumber) {
  EXPECT_EQ("1.5x", formatParameterValue("1.5x", "%8.3f"));
  EXPECT_EQ(" 1.5", formatParameterValue(" 1.5", "%g"));
  EXPECT_EQ("abc", formatParameterValue("abc", "%d"));
  EXPECT_EQ("", formatParameterValue("", "%g"));
  EXPECT_EQ("0x10", formatParameterValue("0x10", "%g"));
  EXPECT_EQ("inf", formatParameterValue("inf", "%f"));
}

TEST(ParameterFormat, LeavesValuesForFormatsWithoutOneNumberConversion) {
  EXPECT_EQ("1.23456", formatParameterValue("1.23456", "Default"));
  EXPECT_EQ("1.23456", formatParameterValue("1.23456", ""));
  EXPECT_EQ("1.23456", formatParameterValue("1.23456", "%s"));
  EXPECT_EQ("1.23456", formatParameterValue("1.23456", "%G"));
  EXPECT_EQ("1.23456", formatParameterValue("1.23456", "%ld"));
  EXPECT_EQ("1.23456", formatParameterValue("1.23456", "%*d"));
  EXPECT_EQ("1.23456", formatParameterValue("1.23456", "%g %g"));
  EXPECT_EQ("1.23456", formatParameterValue("1.23456", "100%"));
}

TEST(ParameterFormat, FormatsEachLineOfAList) {
  EXPECT_EQ("1.000\n2.500\nn/a", formatParameterValue("1\n2.5\nn/a", "%.3f"));
  EXPECT_EQ("1\n2\n", formatParameterValue("1.2\n2.7\n", "%d"));
}

}  // namespace
}  // namespace portalhost
