#include "study/design_record.h"

#include <cmath>

#include <gtest/gtest.h>

namespace portalhost {
namespace {

DesignRecord oddRecord() {
  DesignRecord record;
  record.design = 7;
  record.values = {{"E", 2.1e5}, {"h", -0.0}};
  record.ok = false;
  record.stage = "extract";
  record.messages = {"tipUz: \xff\xfe not UTF-8", std::string("nul\0inside", 10)};
  record.responses = {{"tipUz", {std::nan(""), HUGE_VAL, -HUGE_VAL, 1e-310}, {}, ""},
                      {"label", {}, {"caf\xe9"}, ""},
                      {"gone", {}, {}, "no value was reported"}};
  record.exitCode = -1;
  record.seconds = 1.5;
  record.portalSeconds = 0.25;
  record.attempts = 3;
  record.earlierAttempts = {"attempt 1 failed at solve: x", "attempt 2 failed at solve: y"};
  return record;
}

TEST(DesignRecordTest, EveryDoubleAndEveryByteCrossesExactly) {
  const DesignRecord sent = oddRecord();
  DesignRecord got;
  ASSERT_TRUE(decodeRecord(encodeRecord(sent), got));
  EXPECT_EQ(got.design, 7u);
  EXPECT_EQ(got.values, sent.values);
  EXPECT_TRUE(std::signbit(got.values[1].second));
  EXPECT_EQ(got.stage, "extract");
  EXPECT_EQ(got.messages, sent.messages);
  ASSERT_EQ(got.responses.size(), 3u);
  EXPECT_TRUE(std::isnan(got.responses[0].numbers[0]));
  EXPECT_EQ(got.responses[0].numbers[1], HUGE_VAL);
  EXPECT_EQ(got.responses[0].numbers[2], -HUGE_VAL);
  EXPECT_EQ(got.responses[0].numbers[3], 1e-310);
  EXPECT_EQ(got.responses[1].texts, sent.responses[1].texts);
  EXPECT_EQ(got.responses[2].error, "no value was reported");
  EXPECT_FALSE(got.responses[2].hasValue());
  EXPECT_EQ(got.exitCode, -1);
  EXPECT_EQ(got.attempts, 3);
  EXPECT_EQ(got.earlierAttempts, sent.earlierAttempts);
}

TEST(DesignRecordTest, ATornOrPaddedRecordIsRefused) {
  const std::string bytes = encodeRecord(oddRecord());
  DesignRecord got;
  for (std::size_t cut : {std::size_t{0}, std::size_t{5}, bytes.size() / 2, bytes.size() - 1}) {
    EXPECT_FALSE(decodeRecord(bytes.substr(0, cut), got)) << cut;
  }
  EXPECT_FALSE(decodeRecord(bytes + "x", got));
  std::string huge = bytes;
  huge[8] = '\xff';  // a count of values no record could hold
  EXPECT_FALSE(decodeRecord(huge, got));
}

}  // namespace
}  // namespace portalhost
