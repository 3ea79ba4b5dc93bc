#include "parameter_format.h"

#include <gtest/gtest.h>

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
