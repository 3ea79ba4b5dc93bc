// The whole loop on this machine: portal-host runs a small study of the example
// cantilever through the portal, the solver stand-in and its results module,
// and every extracted tip deflection must be the closed-form one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, ',')) out.push_back(field);
  return out;
}

TEST(StudyEndToEnd, TipDeflectionsMatchTheClosedForm) {
  const fs::path work = fs::path(::testing::TempDir()) / "study-end-to-end";
  fs::remove_all(work);
  fs::create_directories(work);
  std::ofstream(work / "study.json") << R"({
    "name": "closed-form",
    "deck": ")" << EXAMPLE_DECK << R"(",
    "parameters": {"height": {"abbreviation": "HEIGHT"}, "width": {"abbreviation": "WIDTH"},
                   "load": {"abbreviation": "LOAD"}},
    "responses": {"tip": {"nature": "DISP", "transformation": "UZ", "location": "Node %d", "node": "9",
                          "Reference": "step", "step": "Time %g", "time": "1"}},
    "designs": {"latinHypercube": {"count": 6, "seed": 3,
                "ranges": {"height": [20, 80], "width": [10, 40], "load": [-800, 1000]}}}
  })";
  const std::string command = std::string(PORTAL_HOST) + " study " + (work / "study.json").string() +
                              " --jobs 2 --out " + (work / "out").string() + " > " +
                              (work / "table.txt").string() + " 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << std::ifstream(work / "table.txt").rdbuf();

  std::ifstream csv(work / "out" / "results.csv");
  std::string line;
  std::getline(csv, line);
  EXPECT_EQ(line, "design,height,width,load,tip,tip values,status,message");
  int rows = 0;
  while (std::getline(csv, line)) {
    const auto f = fields(line);
    ASSERT_GE(f.size(), 7u) << line;
    const double height = std::stod(f[1]), width = std::stod(f[2]), load = std::stod(f[3]);
    const double tip = std::stod(f[4]);
    const double inertia = width * height * height * height / 12;
    const double closedForm = -load * 1000.0 * 1000.0 * 1000.0 / (3 * 210000.0 * inertia);
    EXPECT_NEAR(tip, closedForm, 1e-9 * std::fabs(closedForm)) << line;
    EXPECT_EQ(f[6], "ok");
    ++rows;
  }
  EXPECT_EQ(rows, 6);
}

}  // namespace
