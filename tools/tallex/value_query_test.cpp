#include "value_query.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <sstream>

namespace tallex {
namespace {

const std::string kDatabase =
    "$$TALLEX_RESULTS 1\n"
    "RESULT \"DISP\" \"Nodal displacements\"\n"
    "IDS Node\n"
    "COMPONENTS UX UY UZ\n"
    "SCALAR \"TZ\" \"Translation Z\" COMPONENT UZ\n"
    "SCALAR \"MAG\" \"Translation magnitude\" MAGNITUDE UX UY UZ\n"
    "SUPPORT \"Node %d\" \"Node\"\n"
    "SUPPORT \"NODES\" \"All nodes\"\n"
    "STEP TIME 0.1\n"
    "1 0 0 0\n"
    "2 0 0 -0.1\n"
    "STEP TIME 0.30000000000000004\n"
    "1 0 0 0\n"
    "2 3 4 -12\n"
    "STEP TIME 0.3000001\n"
    "2 0 0 -99\n"
    "END\n"
    "RESULT \"STRS\" \"Element stresses\"\n"
    "IDS Element Node\n"
    "COMPONENTS SXX SYY SXY\n"
    "SCALAR \"SXX\" \"Axial stress\" COMPONENT SXX\n"
    "SCALAR \"VM\" \"von Mises stress\" VONMISES SXX SYY SXY\n"
    "SUPPORT \"Element %d\" \"Element\"\n"
    "SUPPORT \"Element %d Node %d\" \"Element node\"\n"
    "SELECTION \"TOP\" \"Top fibre\"\n"
    "SELECTION \"BOT\" \"Bottom fibre\"\n"
    "STEP \"LC1\" \"Load case 1\" SELECTION \"TOP\"\n"
    "1 1 100 0 0\n"
    "1 2 50 0 10\n"
    "2 2 50 0 10\n"
    "STEP \"LC1\" \"Load case 1\" SELECTION \"BOT\"\n"
    "1 1 -100 0 0\n"
    "STEP \"LC2\" \"Load case 2\" SELECTION \"TOP\"\n"
    "1 1 7 0 0\n"
    "END\n"
    "RESULT \"TEMP\" \"Temperature\"\n"
    "IDS Node\n"
    "COMPONENTS T\n"
    "SUPPORT \"NODES\" \"All nodes\"\n"
    "STEP\n"
    "1 20.5\n"
    "2 0.1\n"
    "END\n"
    "RESULT \"NONE\" \"Never computed\"\n"
    "IDS Node\n"
    "COMPONENTS T\n"
    "SUPPORT \"NODES\" \"All nodes\"\n"
    "END\n";

// Answers the request lines in one pass over the database, as a run does.
std::string answers(const std::string& requestLines, const std::string& database = kDatabase) {
  std::vector<std::unique_ptr<ValueQuery>> queries;
  for (const Command& command : parseRequestFile(requestLines))
    queries.push_back(std::make_unique<ValueQuery>(command.line, command.request, command.malformed));
  class All : public DatabaseVisitor {
   public:
    explicit All(std::vector<std::unique_ptr<ValueQuery>>& queries) : queries_(queries) {}
    void resultBegins(const ResultHeader& r) override {
      for (auto& q : queries_) q->resultBegins(r);
    }
    bool stepBegins(const Step& s) override {
      bool any = false;
      for (auto& q : queries_) any = q->stepBegins(s) || any;
      return any;
    }
    void row(const std::int64_t* ids, const double* c) override {
      for (auto& q : queries_) q->row(ids, c);
    }
    void resultEnds() override {
      for (auto& q : queries_) q->resultEnds();
    }

   private:
    std::vector<std::unique_ptr<ValueQuery>>& queries_;
  } all(queries);
  LineReader lines(database);
  std::string error;
  EXPECT_TRUE(readDatabase(lines, all, error)) << error;
  AnswerOutput out;
  for (auto& q : queries) q->writeAnswer(out);
  return out.text();
}

std::string request(const std::string& nature, const std::string& transformation, const std::string& location,
                    const std::string& selection, const std::string& reference) {
  return "$$QUIET_GET_VALUE \"" + nature + "\" \"" + transformation + "\" \"" + location + "\" \"" + selection +
         "\" \"" + reference + "\"\n";
}

// The second line of the block for a request that must fail.
std::string errorLine(const std::string& requestLine) {
  std::istringstream block(answers(requestLine));
  std::string echo, error, rest;
  std::getline(block, echo);
  std::getline(block, error);
  EXPECT_FALSE(std::getline(block, rest)) << "more than two lines";
  return error;
}

TEST(ValueAnswer, OneNodeOfOneTime) {
  EXPECT_EQ(
      "$$QUIET_GET_VALUE \"DISP\" \"TZ\" \"Node 2\" \" \" \"Time 0.1\"\n"
      "1\n"
      "Nodal displacements: Translation Z at Node 2, Time 0.1\n"
      "1\n"
      "'Node'\n"
      "2\n"
      "-0.1\n",
      answers(request("DISP", "TZ", "Node 2", " ", "Time 0.1")));
}

TEST(ValueAnswer, AWholeSupportWithTwoIdentifierKinds) {
  EXPECT_EQ(
      "$$QUIET_GET_VALUE \"STRS\" \"SXX\" \"Element 1\" \"TOP\" \"LC1\"\n"
      "1\n"
      "Element stresses: Axial stress at Element 1, Top fibre, Load case 1\n"
      "2\n"
      "'Element%Node'\n"
      "1 1\n"
      "1 2\n"
      "100\n"
      "50\n",
      answers(request("STRS", "SXX", "Element 1", "TOP", "LC1")));
}

// The portal's reading: N1 on line 1, N2 on line 3, identifiers from line
// 4 + N1, values after them.
TEST(ValueAnswer, ReadsBackThroughThePortalsLineArithmetic) {
  std::istringstream block(answers(request("STRS", "VM", "Element 1 Node 2", " TOP ", "LC1")));
  std::vector<std::string> lines;
  for (std::string line; std::getline(block, line);) lines.push_back(line);
  ASSERT_GE(lines.size(), 5u);
  const std::size_t n1 = std::stoul(lines[1]);
  const std::size_t n2 = std::stoul(lines[3]);
  ASSERT_EQ(4 + n1 + 2 * n2, lines.size());
  EXPECT_EQ("'Element%Node'", lines[4]);
  EXPECT_EQ("1 2", lines[4 + n1]);
  EXPECT_DOUBLE_EQ(std::sqrt(50.0 * 50.0 + 3.0 * 10.0 * 10.0), std::stod(lines[4 + n1 + n2]));
}

TEST(ValueAnswer, MagnitudeIsComputedFromTheStoredComponents) {
  const std::string block = answers(request("DISP", "MAG", "NODES", " ", "Time 0.30000000000000004"));
  EXPECT_NE(std::string::npos,
            block.find("Translation magnitude at All nodes, Time 0.30000000000000004\n2\n'Node'\n1\n2\n0\n13\n"))
      << block;
}

TEST(ValueAnswer, ValuesKeepEveryDigitOfTheStoredNumber) {
  const std::string database =
      "$$TALLEX_RESULTS 1\nRESULT \"P\" \"P\"\nIDS Node\nCOMPONENTS P\n"
      "SUPPORT \"NODES\" \"All\"\nSTEP\n1 0.30000000000000004\n2 -1.7976931348623157e+308\n3 1e21\nEND\n";
  EXPECT_NE(std::string::npos, answers(request("P", " ", " ", " ", " "), database)
                                   .find("\n0.30000000000000004\n-1.7976931348623157e+308\n1e+21\n"));
}

TEST(ValueAnswer, ATimeWrittenWithSixDigitsFindsTheNearestStoredTime) {
  EXPECT_NE(std::string::npos, answers(request("DISP", "TZ", "Node 2", " ", "Time 0.3")).find("\n2\n-12\n"));
  EXPECT_NE(std::string::npos, answers(request("DISP", "TZ", "Node 2", " ", "Time 0.3000001")).find("\n2\n-99\n"));
  EXPECT_NE(std::string::npos, answers(request("DISP", "TZ", "Node 2", " ", "Time 1e-1")).find("\n2\n-0.1\n"));
}

TEST(ValueAnswer, ABlankFieldPicksTheOnlyChoice) {
  EXPECT_EQ(
      "$$QUIET_GET_VALUE \"TEMP\" \" \" \" \" \" \" \" \"\n"
      "1\n"
      "Temperature: T at All nodes\n"
      "2\n"
      "'Node'\n"
      "1\n"
      "2\n"
      "20.5\n"
      "0.1\n",
      answers(request("TEMP", " ", " ", " ", " ")));
}

TEST(ValueAnswer, EachRequestGetsItsOwnBlockInRequestOrder) {
  const std::string text = answers(request("TEMP", " ", "NODES", " ", " ") + request("XYZ", " ", " ", " ", " ") +
                                   request("DISP", "TZ", "Node 1", " ", "Time 0.1"));
  EXPECT_EQ(
      "$$QUIET_GET_VALUE \"TEMP\" \" \" \"NODES\" \" \" \" \"\n1\nTemperature: T at All "
      "nodes\n2\n'Node'\n1\n2\n20.5\n0.1\n"
      "$$QUIET_GET_VALUE \"XYZ\" \" \" \" \" \" \" \" \"\n%%% Unknown result nature \"XYZ\"\n"
      "$$QUIET_GET_VALUE \"DISP\" \"TZ\" \"Node 1\" \" \" \"Time 0.1\"\n1\n"
      "Nodal displacements: Translation Z at Node 1, Time 0.1\n1\n'Node'\n1\n0\n",
      text);
}

TEST(ValueAnswerErrors, NameWhatTheRequestGotWrong) {
  EXPECT_EQ(
      "%%% Malformed request: expected 5 double-quoted fields (nature, transformation, location, selection, "
      "reference), found 2",
      errorLine("$$QUIET_GET_VALUE \"DISP\" \"TZ\"\n"));
  EXPECT_EQ("%%% The request names no result nature", errorLine(request(" ", "TZ", "Node 1", " ", "Time 0.1")));
  EXPECT_EQ("%%% Unknown result nature \"XYZ\"", errorLine(request("XYZ", "TZ", "Node 1", " ", "Time 0.1")));
  EXPECT_EQ("%%% Unknown transformation \"TX\" for result \"DISP\" (choices: TZ, MAG)",
            errorLine(request("DISP", "TX", "Node 1", " ", "Time 0.1")));
  EXPECT_EQ("%%% Result \"DISP\" needs a transformation (choices: TZ, MAG)",
            errorLine(request("DISP", " ", "Node 1", " ", "Time 0.1")));
  EXPECT_EQ("%%% Result \"TEMP\" has no transformations; found \"TZ\"",
            errorLine(request("TEMP", "TZ", "NODES", " ", " ")));
  EXPECT_EQ("%%% Unknown location \"Node x\" for result \"DISP\" (supports: Node %d, NODES)",
            errorLine(request("DISP", "TZ", "Node x", " ", "Time 0.1")));
  EXPECT_EQ("%%% Unknown location \"Node %d\" for result \"DISP\" (supports: Node %d, NODES)",
            errorLine(request("DISP", "TZ", "Node %d", " ", "Time 0.1")));
  EXPECT_EQ("%%% Result \"DISP\" needs a location (supports: Node %d, NODES)",
            errorLine(request("DISP", "TZ", " ", " ", "Time 0.1")));
}

TEST(ValueAnswerErrors, NameTheMissingSelectionOrReference) {
  EXPECT_EQ("%%% Result \"STRS\" needs a selection (choices: TOP, BOT)",
            errorLine(request("STRS", "SXX", "Element 1", " ", "LC1")));
  EXPECT_EQ("%%% Unknown selection \"MID\" for result \"STRS\" (choices: TOP, BOT)",
            errorLine(request("STRS", "SXX", "Element 1", "MID", "LC1")));
  EXPECT_EQ("%%% Result \"DISP\" has no selections; found \"TOP\"",
            errorLine(request("DISP", "TZ", "Node 1", "TOP", "Time 0.1")));
  EXPECT_EQ(
      "%%% Result \"DISP\" needs a reference (choices: \"Time 0.1\", \"Time 0.30000000000000004\", \"Time "
      "0.3000001\")",
      errorLine(request("DISP", "TZ", "Node 1", " ", " ")));
  EXPECT_EQ(
      "%%% Unknown reference \"Time 0.2\" for result \"DISP\" (choices: \"Time 0.1\", \"Time 0.30000000000000004\", "
      "\"Time 0.3000001\")",
      errorLine(request("DISP", "TZ", "Node 1", " ", "Time 0.2")));
  EXPECT_EQ(
      "%%% Unknown reference \"Time %g\" for result \"DISP\" (choices: \"Time 0.1\", \"Time 0.30000000000000004\", "
      "\"Time 0.3000001\")",
      errorLine(request("DISP", "TZ", "Node 1", " ", "Time %g")));
  EXPECT_EQ("%%% Unknown reference \"LC3\" for result \"STRS\" (choices: \"LC1\", \"LC2\")",
            errorLine(request("STRS", "SXX", "Element 1", "TOP", "LC3")));
  EXPECT_EQ("%%% Result \"TEMP\" has no references; found \"Time 1\"",
            errorLine(request("TEMP", " ", "NODES", " ", "Time 1")));
}

TEST(ValueAnswerErrors, SayWhenThereAreNoValuesToGive) {
  EXPECT_EQ("%%% No values for result \"STRS\" with selection \"BOT\" at reference \"LC2\"",
            errorLine(request("STRS", "SXX", "Element 1", "BOT", "LC2")));
  EXPECT_EQ("%%% No values for location \"Node 99\" of result \"DISP\"",
            errorLine(request("DISP", "TZ", "Node 99", " ", "Time 0.1")));
  EXPECT_EQ("%%% No values for location \"Element 2\" of result \"STRS\"",
            errorLine(request("STRS", "SXX", "Element 2", "BOT", "LC1")));
  EXPECT_EQ("%%% Result \"NONE\" holds no values", errorLine(request("NONE", " ", "NODES", " ", " ")));
}

}  // namespace
}  // namespace tallex
