#include "portal/message_format.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace ORLIX {
namespace Portals {
namespace {

TEST(FormatMessage, ArgumentsBindToThePlaceholdersPresentInAscendingOrder) {
  EXPECT_EQ(formatMessage("%1 of %2", 3, 5), "3 of 5");
  EXPECT_EQ(formatMessage("%2 then %1", "a", "b"), "b then a");
  EXPECT_EQ(formatMessage("at %1 and %3", "x", "y"), "at x and y");
  EXPECT_EQ(formatMessage("x %1 y %1", "v"), "x v y v");
}

TEST(FormatMessage, PlaceholdersWithoutArgumentsStay) {
  EXPECT_EQ(formatMessage("%1 and %2", "a"), "a and %2");
  EXPECT_EQ(formatMessage("no placeholders", "a", "b"), "no placeholders");
  // There is no %10: its first two characters are %1.
  EXPECT_EQ(formatMessage("%10", "v"), "v0");
}

TEST(FormatMessage, EmptyArgumentsAreDroppedOnlyInMultiArgumentForms) {
  EXPECT_EQ(formatMessage("%1 and %2", "", "b"), "b and %2");
  EXPECT_EQ(formatMessage("[%1]", ""), "[]");
  EXPECT_EQ(formatMessage("%1-%2-%3", "", "", ""), "%1-%2-%3");
  EXPECT_EQ(formatMessage("%1/%2", StringList{"", "b"}), "b/%2");
  EXPECT_EQ(formatMessage("[%1]", StringList{""}), "[]");
}

TEST(FormatMessage, InsertedTextIsNotRescannedForTheSamePlaceholder) {
  EXPECT_EQ(formatMessage("%1 %1", "%1"), "%1 %1");
}

TEST(FormatMessage, NineArgumentsReachNinePlaceholders) {
  EXPECT_EQ(formatMessage("%9%8%7%6%5%4%3%2%1", "1", "2", "3", "4", "5", "6", "7", "8", "9"),
            "987654321");
}

TEST(NumberText, PrintsLikePercentG) {
  EXPECT_EQ(numberText(1234567), "1.23457e+06");
  EXPECT_EQ(numberText(0.5), "0.5");
  EXPECT_EQ(numberText(12), "12");
  EXPECT_EQ(numberText(0.0001), "0.0001");
  EXPECT_EQ(numberText(0.00001), "1e-05");
  EXPECT_EQ(formatMessage("%1 %2 %3", 1.5, 2.0, -3.25), "1.5 2 -3.25");
}

TEST(NumberText, IsSafeFromSeveralThreads) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 5000; ++i) {
        const double value = t * 1000 + i % 1000;
        if (numberText(value) != std::to_string(static_cast<int>(value))) ++failures[t];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
