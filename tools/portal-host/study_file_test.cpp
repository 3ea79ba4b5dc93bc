#include "study_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace portalhost {
namespace {

Json baseStudy() {
  return Json::parse(R"({
    "deck": "beam.dat",
    "parameters": {"height": {"abbreviation": "HEIGHT"}, "load": {"abbreviation": "LOAD", "format": "%.1f"}},
    "responses": {"tip": {"nature": "DISP", "location": "Node %d", "node": "9"}},
    "designs": {"list": [{"height": 40, "load": 500}]}
  })");
}

std::string errorOf(const Json& json) {
  try {
    studyFromJson(json, "/studies", "/studies/s.json");
  } catch (const StudyError& error) {
    return error.what();
  }
  return "no error";
}

TEST(StudyFile, ReadsParametersResponsesAndDefaults) {
  const Study study = studyFromJson(baseStudy(), "/studies", "/studies/s.json");
  EXPECT_EQ(study.name, "s");
  EXPECT_EQ(study.deck, "/studies/beam.dat");
  EXPECT_EQ(study.solver, "brisol");
  EXPECT_EQ(study.modules, "static");
  ASSERT_EQ(study.parameters.size(), 2u);
  EXPECT_EQ(study.parameters[0].group, "ABRE");
  EXPECT_EQ(study.parameters[0].format, "");
  EXPECT_EQ(study.parameters[1].format, "%.1f");
  ASSERT_EQ(study.responses.size(), 1u);
  EXPECT_EQ(study.responses[0].attributes.size(), 3u);
  EXPECT_EQ(study.designs, (std::vector<Design>{{{"height", 40}, {"load", 500}}}));
}

TEST(StudyFile, SaysWhatIsWrongAndWhere) {
  Json json = baseStudy();
  json.erase("deck");
  EXPECT_EQ(errorOf(json), "study.deck: missing");
  json = baseStudy();
  json["designs"]["list"][0]["width"] = 3;
  EXPECT_EQ(errorOf(json), "designs.list[0]: \"width\" is not a parameter of the study");
  json = baseStudy();
  json["designs"]["list"][0].erase("load");
  EXPECT_EQ(errorOf(json), "designs.list[0]: needs a value for every parameter");
  json = baseStudy();
  json["designs"] = Json::parse(R"({"grid": {"height": [1, 2]}})");
  EXPECT_EQ(errorOf(json), "designs.grid.load: needs a non-empty list of levels");
  json["designs"] = Json::parse(R"({"latinHypercube": {"count": 0}})");
  EXPECT_EQ(errorOf(json), "designs.latinHypercube.count: needs a whole number of at least 1");
  json["designs"] = Json::parse(R"({"random": {}})");
  EXPECT_EQ(errorOf(json), "designs: needs one of \"list\", \"grid\" or \"latinHypercube\"");
  json = baseStudy();
  json["responses"]["tip"]["node"] = 9;
  EXPECT_EQ(errorOf(json), "responses.tip.node: must be a text");
}

TEST(Designs, FullFactorialCoversEveryCombination) {
  const auto designs = fullFactorial({{"a", {1, 2, 3}}, {"b", {10, 20}}});
  ASSERT_EQ(designs.size(), 6u);
  std::set<std::pair<double, double>> seen;
  for (const Design& d : designs) seen.insert({d.at("a"), d.at("b")});
  EXPECT_EQ(seen.size(), 6u);
}

TEST(Designs, LatinHypercubePutsOneSampleInEachStratum) {
  const auto designs = latinHypercube({{"a", {0, 10}}, {"b", {-1, 1}}}, 20, 42);
  ASSERT_EQ(designs.size(), 20u);
  for (const char* name : {"a", "b"}) {
    const double low = name[0] == 'a' ? 0 : -1, span = name[0] == 'a' ? 10 : 2;
    std::vector<int> strata;
    for (const Design& d : designs) strata.push_back(static_cast<int>((d.at(name) - low) / span * 20));
    std::sort(strata.begin(), strata.end());
    for (int i = 0; i < 20; ++i) EXPECT_EQ(strata[static_cast<std::size_t>(i)], i) << name;
  }
  EXPECT_EQ(latinHypercube({{"a", {0, 10}}}, 5, 7), latinHypercube({{"a", {0, 10}}}, 5, 7));
  EXPECT_NE(latinHypercube({{"a", {0, 10}}}, 5, 7), latinHypercube({{"a", {0, 10}}}, 5, 8));
}

}  // namespace
}  // namespace portalhost
