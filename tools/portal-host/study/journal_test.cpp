#include "study/journal.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace portalhost {
namespace {

namespace fs = std::filesystem;

DesignRecord finished(std::uint64_t number, bool ok) {
  DesignRecord record;
  record.design = number;
  record.values = {{"E", 70000}, {"h", 15}};
  record.ok = ok;
  if (!ok) {
    record.stage = "solve";
    record.messages = {"ccx exited with status 2 (see solver.out)"};
  }
  record.responses = {{"tipUz", {91.44, std::nan(""), -HUGE_VAL}, {}, ""},
                      {"label", {}, {"ok\xff"}, ""},
                      {"rootReaction", {}, {}, "not read: the design failed"}};
  record.exitCode = ok ? 0 : 2;
  return record;
}

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = (fs::path(::testing::TempDir()) / ("journal-" + std::to_string(::getpid()) + ".jsonl")).string();
    fs::remove(path_);
  }
  void TearDown() override { fs::remove(path_); }
  std::string path_;
};

TEST_F(JournalTest, ALineHoldsTheDesignInTheDocumentedShape) {
  const Json json = recordToJson(finished(3, false));
  EXPECT_EQ(json["design"], 3);
  EXPECT_EQ(json["values"], Json::parse(R"({"E": 70000.0, "h": 15.0})"));
  EXPECT_EQ(json["status"], "failed");
  EXPECT_EQ(json["stage"], "solve");
  EXPECT_EQ(json["responses"]["tipUz"], Json::parse(R"([91.44, "nan", "-inf"])"));
  EXPECT_EQ(json["responses"]["label"], "ok\xff");
  EXPECT_FALSE(json["responses"].contains("rootReaction"));
  EXPECT_EQ(json["errors"]["rootReaction"], "not read: the design failed");
  EXPECT_EQ(json["messages"][0], "ccx exited with status 2 (see solver.out)");
  EXPECT_EQ(json["exitCode"], 2);
}

TEST_F(JournalTest, WhatIsAppendedReadsBackAndOddBytesStayValidJson) {
  {
    Journal journal(path_);
    journal.append(finished(1, true));
    journal.append(finished(2, false));
  }
  std::ifstream in(path_);
  std::string line;
  while (std::getline(in, line)) EXPECT_NO_THROW(Json::parse(line)) << line;
  const JournalContents contents = readJournal(path_);
  ASSERT_EQ(contents.records.size(), 2u);
  EXPECT_FALSE(contents.tornLastLine);
  const DesignRecord& second = contents.records[1];
  EXPECT_EQ(second.design, 2u);
  EXPECT_FALSE(second.ok);
  EXPECT_EQ(second.stage, "solve");
  const ResponseResult* tip = second.response("tipUz");
  ASSERT_NE(tip, nullptr);
  ASSERT_EQ(tip->numbers.size(), 3u);
  EXPECT_TRUE(std::isnan(tip->numbers[1]));
  EXPECT_EQ(tip->numbers[2], -HUGE_VAL);
  EXPECT_EQ(second.response("label")->texts[0], "ok\xEF\xBF\xBD");
  EXPECT_EQ(second.response("rootReaction")->error, "not read: the design failed");
}

TEST_F(JournalTest, ATornLastLineIsLeftOutAndSaid) {
  {
    Journal journal(path_);
    journal.append(finished(1, true));
    journal.append(finished(2, true));
  }
  std::ofstream(path_, std::ios::app) << "{\"design\": 3, \"values\": {\"E\": 7";
  const JournalContents contents = readJournal(path_);
  EXPECT_EQ(contents.records.size(), 2u);
  EXPECT_TRUE(contents.tornLastLine);
  EXPECT_TRUE(contents.badLines.empty());
}

TEST_F(JournalTest, ATornLineIsCutOffBeforeTheNextIsAppended) {
  {
    Journal journal(path_);
    journal.append(finished(1, true));
  }
  std::ofstream(path_, std::ios::app) << "{\"design\": 2, \"val";
  {
    Journal journal(path_);
    journal.append(finished(3, true));
  }
  const JournalContents contents = readJournal(path_);
  ASSERT_EQ(contents.records.size(), 2u);
  EXPECT_EQ(contents.records[1].design, 3u);
  EXPECT_FALSE(contents.tornLastLine);
  EXPECT_TRUE(contents.badLines.empty());
}

TEST_F(JournalTest, ASubmittedJobIsPendingUntilItsDesignIsRecorded) {
  {
    Journal journal(path_);
    journal.appendSubmitted(1, "41");
    journal.appendSubmitted(2, "42");
    DesignRecord done = finished(1, true);
    done.jobId = "41";
    journal.append(done);
  }
  const JournalContents contents = readJournal(path_);
  EXPECT_EQ(contents.submitted, (std::map<std::uint64_t, std::string>{{2, "42"}}));
  ASSERT_EQ(contents.records.size(), 1u);
  EXPECT_EQ(contents.records[0].jobId, "41");
}

TEST_F(JournalTest, AForeignLineInTheMiddleIsNamed) {
  const auto line = [](std::uint64_t n) {
    return recordToJson(finished(n, true)).dump(-1, ' ', false, Json::error_handler_t::replace);
  };
  std::ofstream(path_) << line(1) << "\nnot a design\n" << line(2) << "\n";
  const JournalContents contents = readJournal(path_);
  EXPECT_EQ(contents.records.size(), 2u);
  EXPECT_EQ(contents.badLines, std::vector<std::string>{"line 2"});
  EXPECT_FALSE(contents.tornLastLine);
}

TEST_F(JournalTest, AFolderThatCannotBeWrittenIsAnOutputError) {
  EXPECT_THROW(Journal("/proc/no-such-folder/results.jsonl"), OutputError);
}

}  // namespace
}  // namespace portalhost
