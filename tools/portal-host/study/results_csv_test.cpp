// results.csv and the terminal table: what a study leaves for programs and
// what it shows the engineer.
#include "study/results_csv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <sstream>

#include "scenario_json.h"
#include "study/journal.h"
#include "study/results_table.h"

namespace portalhost {
namespace {

ResponseResult numbers(const std::string& name, std::vector<double> values) {
  return {name, std::move(values), {}, ""};
}
ResponseResult text(const std::string& name, const std::string& value) { return {name, {}, {value}, ""}; }
ResponseResult error(const std::string& name, const std::string& why) { return {name, {}, {}, why}; }

class Results : public ::testing::Test {
 protected:
  Results() {
    study.parameters.resize(2);
    study.parameters[0].name = "E";
    study.parameters[1].name = "h";
    study.responses.resize(2);
    study.responses[0].name = "tipUz";
    study.responses[1].name = "label";
    study.responses[1].text = true;
  }

  DesignRecord& ok(double E, double h, std::vector<ResponseResult> responses) {
    DesignRecord record;
    record.design = records.size() + 1;
    record.values = {{"E", E}, {"h", h}};
    record.ok = true;
    record.responses = std::move(responses);
    records.push_back(record);
    return records.back();
  }
  DesignRecord& failed(double E, double h, const std::string& stage, std::vector<std::string> messages) {
    DesignRecord& record = ok(E, h, {error("tipUz", "not read"), error("label", "not read")});
    record.ok = false;
    record.stage = stage;
    record.messages = std::move(messages);
    return record;
  }

  std::string csv() const {
    std::ostringstream out;
    writeResultsCsv(out, study, records);
    return out.str();
  }
  std::string row(std::size_t index) const {
    std::istringstream in(csv());
    std::string line;
    for (std::size_t i = 0; i <= index + 1; ++i) std::getline(in, line);
    return line;
  }
  std::string table() const {
    std::ostringstream out;
    printResultsTable(out, study, records);
    return out.str();
  }

  Study study;
  std::vector<DesignRecord> records;
};

TEST_F(Results, CsvHasAColumnPerParameterAndPerValueOfEachResponse) {
  ok(70000, 15, {numbers("tipUz", {91.44, 2}), text("label", "thin")});
  // As read back from results.jsonl: values and responses in name order.
  ok(0, 0, {text("label", "thick"), numbers("tipUz", {5, 6, 7})}).values = {{"h", 20}, {"E", 210000}};
  failed(210000, 25, "solve", {"the solver stopped"});
  EXPECT_EQ(
      "design,status,E,h,tipUz[1],tipUz[2],tipUz[3],label\n"
      "1,ok,70000,15,91.44,2,,thin\n"
      "2,ok,210000,20,5,6,7,thick\n"
      "3,failed,210000,25,,,,\n",
      csv());

  records.pop_back();
  records.front().responses[0].numbers = {1};
  records.back().responses[1].numbers = {2};
  EXPECT_EQ("design,status,E,h,tipUz,label\n1,ok,70000,15,1,thin\n2,ok,210000,20,2,thick\n", csv());
}

TEST_F(Results, CsvNumbersReadBackExactly) {
  const std::vector<double> tricky{0.1, 1.0 / 3, -2.5e-300, 4.9e-324, 1.7976931348623157e308, 123456789.123456789,
                                   -0.0};
  ok(0.1, 1.0 / 3, {numbers("tipUz", tricky), text("label", "")});
  EXPECT_EQ("1,ok,0.1,0.3333333333333333,0.1,0.3333333333333333,-2.5e-300,5e-324,1.7976931348623157e+308,"
            "123456789.12345679,-0,",
            row(0));
  ok(std::nan(""), HUGE_VAL, {numbers("tipUz", {-HUGE_VAL, -std::nan("")}), text("label", "x")});
  EXPECT_EQ("2,ok,nan,inf,-inf,nan,,,,,,x", row(1));
}

TEST_F(Results, CsvQuotesTextsOnlyWhenTheyNeedIt) {
  for (const char* label : {"plain text", "a,b", "say \"hi\"", "two\nlines", "cr\rhere", "bad \xff byte"}) {
    ok(1, 2, {numbers("tipUz", {1}), text("label", label)});
  }
  study.parameters[1].name = "width, mm";  // no record has a value of that name: empty cells
  EXPECT_EQ(
      "design,status,E,\"width, mm\",tipUz,label\n"
      "1,ok,1,,1,plain text\n"
      "2,ok,1,,1,\"a,b\"\n"
      "3,ok,1,,1,\"say \"\"hi\"\"\"\n"
      "4,ok,1,,1,\"two\nlines\"\n"
      "5,ok,1,,1,\"cr\rhere\"\n"
      "6,ok,1,,1,bad \xEF\xBF\xBD byte\n",
      csv());
}

TEST_F(Results, CsvThatCannotBeWrittenNamesItsPathAndWhy) {
  const std::string missing = ::testing::TempDir() + "/no-such-folder/results.csv";
  for (const auto& [path, why] :
       {std::pair{missing, "No such file or directory"}, {"/dev/full", "No space left on device"}}) {
    try {
      writeResultsCsv(path, study, records);
      ADD_FAILURE() << path << ": no error";
    } catch (const OutputError& e) {
      EXPECT_EQ(path + ": cannot be written: " + why, std::string(e.what()));
    }
  }
}

// A resumed study writes what results.jsonl gave back: the same text as a
// fresh run only when both repair broken bytes the same way.
TEST(ValidUtf8, RepairsBytesAsResultsJsonlDoes) {
  EXPECT_EQ("é € \xF0\x9D\x84\x9E \xEF\xBF\xBD" "A", validUtf8("é € \xF0\x9D\x84\x9E \xE2\x82" "A"));
  std::mt19937 random(11);
  std::uniform_int_distribution<int> byte(0x20, 0xFF), length(0, 12);
  for (int i = 0; i < 20000; ++i) {
    std::string bytes;
    for (int n = length(random); n > 0; --n) {
      const char c = static_cast<char>(byte(random));
      if (c != '"' && c != '\\' && c != 0x7F) bytes += c;
    }
    const std::string json = Json(bytes).dump(-1, ' ', false, Json::error_handler_t::replace);
    ASSERT_EQ(json.substr(1, json.size() - 2), validUtf8(bytes))
        << Json(bytes).dump(-1, ' ', true, Json::error_handler_t::replace);
  }
}

TEST_F(Results, TableRightAlignsItsColumnsThenSaysWhyEachFailedDesignFailed) {
  ok(70000, 15, {numbers("tipUz", {-0.0992063492, 1, 2}), text("label", "a rather long label\nover lines")});
  ok(210000, 20.5, {numbers("tipUz", {1.5e-7}), text("label", "thin")});
  failed(210000, 0, "solve", {"the solver run failed (exit code 3)", "error: HEIGHT must be positive\nsee deck.log"});
  DesignRecord& noMessages = failed(1, 2, "extract", {});
  noMessages.responses[0].error = "no value at node 9";
  noMessages.earlierAttempts = {"the solver timed out"};
  EXPECT_EQ(
      "design       E     h            tipUz                        label  status\n"
      "     1   70000    15  -0.0992063 (+2)  a rather long label over...      ok\n"
      "     2  210000  20.5          1.5e-07                         thin      ok\n"
      "     3  210000     0                -                            -  FAILED\n"
      "     4       1     2                -                            -  FAILED\n"
      "\n"
      "design 3 failed at solve: the solver run failed (exit code 3)\n"
      "    error: HEIGHT must be positive\n"
      "    see deck.log\n"
      "design 4 failed at extract: tipUz: no value at node 9\n"
      "    label: not read\n"
      "    attempt 1 failed: the solver timed out\n",
      table());
}

TEST_F(Results, SolverTextCannotSteerTheTerminal) {
  failed(1, 2, "solve", {"\x1b[2J\x1b]0;owned\x07 cleared", "C1 \xC2\x9B" "31m and \xff"});
  const std::string out = table();
  EXPECT_EQ(std::string::npos, out.find_first_of("\x1b\x07"));
  EXPECT_NE(std::string::npos, out.find("failed at solve: \xEF\xBF\xBD[2J\xEF\xBF\xBD]0;owned\xEF\xBF\xBD cleared\n"
                                        "    C1 \xEF\xBF\xBD" "31m and \xEF\xBF\xBD\n"));
}

TEST_F(Results, AHugeStudysTableShowsItsFirstRowsAndFailuresAndCountsTheRest) {
  records.reserve(100000);
  for (int i = 0; i < 100000; ++i) {
    const std::string message = i == 0 || i == 49 ? std::string(5000, 'x') : "stopped";
    failed(i, 1, "check", std::vector<std::string>(i == 0 ? 30 : 1, message));
  }
  std::istringstream in(table());
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(1u + 200 + 1 + 1 + (1 + 20 + 1) + 49 + 1, lines.size());
  EXPECT_EQ("... and 99800 more designs (see results.csv)", lines[201]);
  EXPECT_EQ("design 1 failed at check: " + std::string(500, 'x') + "...", lines[203]);
  EXPECT_EQ("    ... and 9 more lines", lines[203 + 21]);
  EXPECT_EQ("design 50 failed at check: " + std::string(500, 'x') + "...", lines[lines.size() - 2]);
  EXPECT_EQ("... and 99950 more failed designs (see results.jsonl)", lines.back());
}

}  // namespace
}  // namespace portalhost
