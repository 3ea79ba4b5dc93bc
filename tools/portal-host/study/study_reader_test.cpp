#include "study/study_reader.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace portalhost {
namespace {

namespace fs = std::filesystem;

class StudyReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::path(::testing::TempDir()) / ("study-reader-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_ / "tags");
    fs::create_directories(folder_ / "mesh");
    for (const char* file : {"beam.inp", "tags/S_in_beam_beam.inp", "mesh/nodes.inp", "cantilever.dat"}) {
      std::ofstream(folder_ / file) << "x\n";
    }
  }
  void TearDown() override { fs::remove_all(folder_); }

  // A study that reads, with `changes` merged over its top-level keys.
  LoadedStudy read(const Json& changes = Json::object()) {
    Json study = Json::parse(R"json({
      "name": "beam",
      "inputs": [{"file": "beam.inp", "tags": "tags/S_in_beam_beam.inp"}],
      "outputs": [{"file": "beam.dat", "script": {"tipUz": "GOTO_STRING(TIP,1)\nGET_VALUE_FREE(4,\\s)"}}],
      "files": ["mesh/nodes.inp"],
      "solver": {"command": ["ccx", "-i", "beam"], "env": {"OMP_NUM_THREADS": "1"}, "timeout": 600,
                 "success": {"exitCodes": [0], "failIf": [{"file": "solver.out", "contains": "*ERROR"}]}},
      "parameters": {"E": {}, "h": {}, "P": {}},
      "responses": {"tipUz": {}},
      "designs": {"grid": {"E": [70000, 210000], "h": [15, 20, 25], "P": [100]}}
    })json");
    for (const auto& item : changes.items()) {
      if (item.value().is_null()) {
        study.erase(item.key());
      } else {
        study[item.key()] = item.value();
      }
    }
    return studyFromJson(study, folder_.string(), (folder_ / "study.json").string());
  }

  std::string errorOf(const Json& changes) {
    try {
      read(changes);
    } catch (const StudyError& error) {
      return error.what();
    }
    return "(read without error)";
  }

  fs::path folder_;
};

TEST_F(StudyReaderTest, TheDocumentedExampleReads) {
  const LoadedStudy loaded = read();
  EXPECT_TRUE(loaded.problems.empty()) << loaded.problems.front();
  const Study& study = loaded.study;
  EXPECT_EQ(study.name, "beam");
  EXPECT_EQ(study.portal, "Brisol");
  ASSERT_EQ(study.inputs.size(), 1u);
  EXPECT_EQ(study.inputs[0].source, TagSource::TagFile);
  EXPECT_EQ(study.inputs[0].tagFile, (folder_ / "tags/S_in_beam_beam.inp").string());
  EXPECT_EQ(study.outputs[0].source, TagSource::Script);
  EXPECT_EQ(study.outputs[0].file.placed, "beam.dat");
  EXPECT_EQ(study.files[0].placed, "mesh/nodes.inp");
  EXPECT_EQ(study.solver.command, (std::vector<std::string>{"ccx", "-i", "beam"}));
  EXPECT_EQ(study.solver.timeoutSeconds, 600);
  ASSERT_EQ(study.solver.failIf.size(), 1u);
  EXPECT_EQ(study.solver.failIf[0].text, "*ERROR");
  EXPECT_FALSE(study.solver.failIf[0].regex);
  EXPECT_EQ(study.designs.size(), 6u);
  EXPECT_FALSE(study.hasDeck());
}

TEST_F(StudyReaderTest, UnknownKeysNameTheClosestKnownOne) {
  const Json solver = Json::parse(R"({"command": ["ccx"], "timout": 5,
      "success": {"failIf": [{"file": "solver.out", "contain": "x", "matches": "y"}]}})");
  const LoadedStudy loaded = read({{"solvr", "x"}, {"solver", solver}, {"desings", 1}});
  EXPECT_EQ(loaded.problems, (std::vector<std::string>{
                                 "solvr: unknown key (did you mean \"solver\"?)",
                                 "desings: unknown key (did you mean \"designs\"?)",
                                 "solver.timout: unknown key (did you mean \"timeout\"?)",
                                 "solver.success.failIf[0].contain: unknown key (did you mean \"contains\"?)"}));
}

TEST_F(StudyReaderTest, AMissingKeyIsReportedWithTheMisspeltOneFoundInstead) {
  Json changes = {{"parameters", nullptr}, {"paramters", {{"E", Json::object()}}}};
  EXPECT_EQ(errorOf(changes), "parameters: missing (the design variables)\n"
                              "  paramters: unknown key (did you mean \"parameters\"?)");
}

TEST_F(StudyReaderTest, AMisspeltParameterInTheDesignsStopsTheReading) {
  EXPECT_EQ(errorOf({{"designs", {{"grid", {{"E", {1}}, {"hh", {2}}, {"P", {3}}}}}}}),
            "designs.grid.hh: is not a parameter of the study (did you mean \"h\"?)");
  EXPECT_EQ(errorOf({{"designs", {{"list", {{{"E", 1}, {"P", 3}}}}}}}),
            "designs.list[0].h: missing (every design gives every parameter)");
}

TEST_F(StudyReaderTest, AHypercubeCountThatDoesNotFitIsRefused) {
  const auto lhs = [](const Json& count) {
    return Json{{"designs", {{"latinHypercube", {{"count", count},
                                                 {"ranges", {{"E", {1, 2}}, {"h", {1, 2}}, {"P", {1, 2}}}}}}}}};
  };
  EXPECT_EQ(errorOf(lhs(4294967297ULL)),
            "designs.latinHypercube.count: must be a whole number from 1 to 10000000, got 4294967297");
  EXPECT_EQ(errorOf(lhs(0)), "designs.latinHypercube.count: must be a whole number from 1 to 10000000, got 0");
  EXPECT_EQ(errorOf(lhs(2.5)), "designs.latinHypercube.count: must be a whole number from 1 to 10000000, got 2.5");
  EXPECT_EQ(read(lhs(12)).study.designs.size(), 12u);
}

TEST_F(StudyReaderTest, TheShapeOfEachEntryIsChecked) {
  EXPECT_EQ(errorOf({{"inputs", {{{"file", "beam.inp"}, {"tags", "tags/S_in_beam_beam.inp"}, {"mark", Json::object()}}}}}),
            "inputs[0]: needs exactly one of \"tags\", \"mark\", \"script\" or \"xml\"");
  EXPECT_EQ(errorOf({{"inputs", {{{"file", "beam.inp"}, {"mark", {{"E", {{"mode", "loose"}, {"row", 1}, {"col", 1}}}}}}}}}),
            "inputs[0].mark.E.mode: must be \"free\" or \"fixed\"");
  EXPECT_EQ(errorOf({{"inputs", {{{"file", "beam.inp"}, {"mark", {{"E", {{"mode", "free"}, {"row", 0}, {"col", 1}}}}}}}}}),
            "inputs[0].mark.E.row: must be a whole number of at least 1");
  EXPECT_EQ(errorOf({{"name", nullptr}}), "name: missing");
  EXPECT_EQ(errorOf({{"solver", {{"command", Json::array()}}}}), "solver.command: must name the program first");
  EXPECT_EQ(errorOf({{"solver", {{"command", {"ccx"}}, {"timeout", -1}}}}),
            "solver.timeout: must be a number of seconds above 0 (at most a year)");
  EXPECT_EQ(errorOf({{"solver", {{"command", {"ccx"}}, {"success", {{"failIf", {{{"file", "x"}, {"matches", "(("}}}}}}}}})
                .rfind("solver.success.failIf[0].matches: not a regular expression: ", 0),
            0u);
  EXPECT_EQ(errorOf({{"solver", "brisol"}}),
            "solver: a text names the Brisol launcher, run as <program> <deck>, but the study has no \"deck\"; "
            "give {\"command\": [...]} for any other solver");
  EXPECT_EQ(errorOf({{"parameters", {{"a,b", Json::object()}}}}),
            "parameters.a,b: a name must be non-empty, without commas, percent signs, line breaks or blanks at its "
            "ends");
}

TEST_F(StudyReaderTest, InlineMarkTagsGetTheEngineDefaults) {
  const LoadedStudy loaded = read({{"inputs", {{{"file", "beam.inp"},
                                                {"mark", {{"E", {{"mode", "free"}, {"row", 3}, {"col", "2"}}},
                                                          {"h", {{"mode", "fixed"}, {"row", 4}, {"col", 1},
                                                                 {"widths", "10.10.*"}}}}}}}}});
  const Json& tags = loaded.study.inputs[0].inlineTags;
  EXPECT_EQ(tags["E"]["row"], "3");
  EXPECT_EQ(tags["E"]["col"], "2");
  EXPECT_EQ(tags["E"]["delims"], "\\,;\"=()'\\t\\s");
  EXPECT_EQ(tags["h"]["delims"], "10.10.*");
}

TEST_F(StudyReaderTest, TheBrisolFormTiesParametersAndResponsesToTheDeck) {
  const LoadedStudy loaded = read({{"inputs", nullptr}, {"outputs", nullptr}, {"solver", nullptr},
                                   {"deck", "cantilever.dat"},
                                   {"parameters", {{"E", {{"abbreviation", "YOUNG"}}}, {"h", Json::object()},
                                                   {"P", {{"group", "ABREM[...]"}, {"abbreviation", "LOAD"},
                                                          {"format", "%.2f"}}}}},
                                   {"responses", {{"tip", {{"nature", "DISP"}, {"node", "9"}}}, {"note", {{"type", "text"}}}}}});
  const Study& study = loaded.study;
  EXPECT_TRUE(study.hasDeck());
  EXPECT_EQ(study.deckResults(), "cantilever.sdb");
  EXPECT_EQ(study.solver.program, "brisol");
  EXPECT_TRUE(study.parameters[0].onDeck);
  EXPECT_EQ(study.parameters[0].group, "ABRE");
  EXPECT_FALSE(study.parameters[1].onDeck);
  EXPECT_EQ(study.parameters[2].format, "%.2f");
  EXPECT_TRUE(study.responses[0].onDeck);
  EXPECT_TRUE(study.responses[1].text);
  EXPECT_FALSE(study.responses[1].onDeck);
}

TEST_F(StudyReaderTest, MissingFilesAndClashingPlacesAreProblems) {
  const LoadedStudy loaded = read({{"inputs", {{{"file", "gone.inp"}, {"tags", "tags/S_in_beam_beam.inp"}}}},
                                   {"files", {"mesh/nodes.inp", fs::absolute(folder_ / "beam.inp").string(),
                                              "/etc/hostname", "../elsewhere.inp"}}});
  const std::vector<std::string>& problems = loaded.problems;
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0], "inputs[0].file: " + (folder_ / "gone.inp").string() + " is not a file");
  EXPECT_EQ(problems[1], "files[3]: " + (folder_.parent_path() / "elsewhere.inp").string() + " is not a file");
  EXPECT_EQ(loaded.study.files[1].placed, "beam.inp");
  EXPECT_EQ(loaded.study.files[2].placed, "hostname");
  const LoadedStudy clash = read({{"files", {"beam.inp"}}});
  EXPECT_EQ(clash.problems, std::vector<std::string>{
                                "files[0]: lands on beam.inp in every design folder, as inputs[0].file does"});
}

}  // namespace
}  // namespace portalhost
