// Whole studies through the built programs: the Brisol stand-in and a real
// solver (CalculiX) give the closed-form answers, and a study leaves its
// journal and table in the documented shape.
#include <cmath>

#include "study/study_test_fixture.h"

namespace studytest {
namespace {

double number(const std::string& text) { return std::stod(text); }

TEST_F(StudyTest, TheBrisolCantileverGivesTheClosedFormDeflection) {
  Json json = Json::parse(R"json({
    "name": "closed-form",
    "deck": "cantilever.dat",
    "parameters": {"height": {"abbreviation": "HEIGHT"}, "width": {"abbreviation": "WIDTH"},
                   "load": {"abbreviation": "LOAD"}},
    "responses": {"tip": {"nature": "DISP", "transformation": "UZ", "location": "Node %d", "node": "9",
                          "Reference": "step", "step": "Time %g", "time": "1"}},
    "designs": {"latinHypercube": {"count": 6, "seed": 3,
                "ranges": {"height": [20, 80], "width": [10, 40], "load": [-800, 1000]}}}
  })json");
  fs::copy_file(std::string(EXAMPLES) + "/cantilever/cantilever.dat", path("cantilever.dat"));
  const HostRun run = study(json, "--jobs 2");
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const auto rows = csv();
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"design", "status", "height", "width", "load", "tip"}));
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const double height = number(rows[i][2]), width = number(rows[i][3]), load = number(rows[i][4]);
    const double closedForm = -load * 1e9 / (3 * 210000.0 * width * std::pow(height, 3) / 12);
    EXPECT_EQ(rows[i][1], "ok");
    EXPECT_NEAR(number(rows[i][5]), closedForm, 1e-9 * std::fabs(closedForm)) << rows[i][0];
  }
}

TEST_F(StudyTest, TheCalculixBeamAgreesWithBeamTheory) {
  const HostRun run = portalHost("study " + std::string(EXAMPLES) + "/calculix-beam/study.json --jobs 2 --out " + out());
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  const auto rows = csv();
  ASSERT_GT(rows.size(), 1u);
  ASSERT_EQ(rows[0], (std::vector<std::string>{"design", "status", "E", "w", "h", "P", "tipUz", "rootReaction"}));
  for (std::size_t i = 1; i < rows.size(); ++i) {
    const double E = number(rows[i][2]), w = number(rows[i][3]), h = number(rows[i][4]), P = number(rows[i][5]);
    const double theory = P * 1e9 / (3 * E * w * h * h * h / 12);
    EXPECT_EQ(rows[i][1], "ok");
    EXPECT_NEAR(number(rows[i][6]), theory, 0.005 * theory) << "design " << rows[i][0];
    EXPECT_NEAR(number(rows[i][7]), -P, 1e-6 * P) << "design " << rows[i][0];
  }
}

TEST_F(StudyTest, EveryDesignIsJournaledAndTabled) {
  const HostRun run = study(toyStudy(), "--jobs 2");
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  ASSERT_EQ(journal().size(), 2u);
  const Json second = design(2);
  EXPECT_EQ(second["status"], "ok");
  EXPECT_EQ(second["values"], Json::parse(R"({"E": 3.0, "h": 5.0})"));
  EXPECT_EQ(second["responses"], Json::parse(R"({"product": [15.0], "sum": [8.0]})"));
  EXPECT_EQ(second["messages"], Json::array());
  EXPECT_TRUE(second["seconds"].is_number());
  EXPECT_EQ(read("out/design_0002/model.txt"), "# toy model\nE 3\nh 5\n");
  EXPECT_EQ(read("model.txt"), "# toy model\nE 1\nh 2\n");
  EXPECT_EQ(csv(), (std::vector<std::vector<std::string>>{{"design", "status", "E", "h", "product", "sum"},
                                                          {"1", "ok", "2", "5", "10", "7"},
                                                          {"2", "ok", "3", "5", "15", "8"}}));
  EXPECT_NE(run.out.find("toy: 2 designs: 2 ok, 0 failed, 0 not run"), std::string::npos) << run.out;
  EXPECT_NE(read("out/report.html").find("<svg"), std::string::npos);
}

TEST_F(StudyTest, AResponseWithSeveralValuesGetsAColumnPerValue) {
  Json json = toyStudy();
  json["solver"]["command"][2] = "printf 'values\\n1.5\\n2.5\\n3.5\\nend\\nlabel hello\\n' > out.txt";
  json["outputs"] = Json::parse(R"json([{"file": "out.txt", "script": {
    "series": "GOTO_STRING(values,1)\nMOVE_DOWN(1)\nGET_COLUMN_FREE(1,EOC,\\s,end)",
    "label": "GOTO_STRING(label,1)\nGET_VALUE_FREE(2,\\s)"}}])json");
  json["responses"] = Json::parse(R"({"series": {}, "label": {"type": "text"}})");
  const HostRun run = study(json);
  ASSERT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_EQ(design(1)["responses"], Json::parse(R"({"series": [1.5, 2.5, 3.5], "label": "hello"})"));
  const auto rows = csv();
  EXPECT_EQ(rows[0], (std::vector<std::string>{"design", "status", "E", "h", "series[1]", "series[2]", "series[3]",
                                               "label"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"1", "ok", "2", "5", "1.5", "2.5", "3.5", "hello"}));
}

}  // namespace
}  // namespace studytest
