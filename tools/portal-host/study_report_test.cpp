#include "study_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace portalhost {
namespace {

Study twoParameterStudy() {
  Study study;
  study.name = "beam";
  study.parameters = {{"height", "ABRE", "HEIGHT", "%g"}, {"width", "ABRE", "WIDTH", "%g"}};
  study.responses = {{"tip", {}}};
  return study;
}

std::vector<DesignResult> twoDesigns() {
  DesignResult good;
  good.index = 0;
  good.values = {{"height", 40}, {"width", 20}};
  good.ok = true;
  good.responses["tip"].numbers = {-0.0992063492, -1};
  DesignResult bad;
  bad.index = 1;
  bad.values = {{"height", 0}, {"width", 20}};
  bad.responses["tip"].error = "An error occurred, \"badly\"";
  bad.messages = {"the solver run failed", "error: %%%E HEIGHT must be positive"};
  return {good, bad};
}

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(StudyReport, TableShowsFirstValuesAndWhyDesignsFailed) {
  std::ostringstream out;
  printResultsTable(out, twoParameterStudy(), twoDesigns());
  EXPECT_EQ(out.str(),
            "design  height  width         tip  status\n"
            "     1      40     20  -0.0992063      ok\n"
            "     2       0     20           -  FAILED\n"
            "design 2 failed: tip: An error occurred, \"badly\"\n"
            "    the solver run failed\n"
            "    error: %%%E HEIGHT must be positive\n");
}

TEST(StudyReport, CsvQuotesTextsAndCountsValues) {
  const std::string path = ::testing::TempDir() + "/results.csv";
  writeResultsCsv(path, twoParameterStudy(), twoDesigns());
  EXPECT_EQ(slurp(path),
            "design,height,width,tip,tip values,status,message\n"
            "1,40,20,-0.0992063492,2,ok,\n"
            "2,0,20,,0,failed,\"tip: An error occurred, \"\"badly\"\"\"\n");
}

TEST(StudyReport, PlotsAreSelfContainedSvg) {
  const std::string svg = scatterSvg("h<eight", "tip", {{1, 2}, {3, 4}});
  EXPECT_EQ(svg.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
  EXPECT_NE(svg.find("h&lt;eight"), std::string::npos);
  EXPECT_EQ(svg.find("http", 40), std::string::npos);  // nothing fetched from anywhere
  std::size_t circles = 0;
  for (auto at = svg.find("<circle"); at != std::string::npos; at = svg.find("<circle", at + 1)) ++circles;
  EXPECT_EQ(circles, 2u);
  EXPECT_NE(scatterSvg("x", "y", {}).find("</svg>"), std::string::npos);
  EXPECT_TRUE(std::isnan(firstValue(ResponseOutcome{})));
}

}  // namespace
}  // namespace portalhost
