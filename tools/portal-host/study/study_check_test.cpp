// --check, and the same checks before a study starts: each mistake a user
// makes in a study or its tags is named before any design runs.
#include "study/study_test_fixture.h"

namespace studytest {
namespace {

class CheckTest : public StudyTest {
 protected:
  // Runs --check; the run must refuse the study with `problem` among its lines.
  void expectProblem(const Json& json, const std::string& problem) {
    const HostRun run = study(json, "--check");
    EXPECT_EQ(run.status, 2) << run.out << run.err;
    EXPECT_NE(run.out.find("  " + problem + "\n"), std::string::npos) << run.out << run.err;
    EXPECT_FALSE(fs::exists(out())) << "--check must write nothing";
    EXPECT_EQ(read("model.txt"), "# toy model\nE 1\nh 2\n");
  }
  static Json withInputs(const std::string& inputs) {
    Json json = toyStudy();
    json["inputs"] = Json::parse(inputs);
    return json;
  }
  void markTagFile(const std::string& tagLines) {
    write("tags/M_in_toy_model.txt",
          "$ File type, version\nmarking, 1\n$ Tag definition file: model.txt\n$ Tag type, Num tags\nMARKING, 2\n"
          "$ Default delimited (free) parser\n\\s\n$ Default fixed parser\n10\n"
          "$ Mode, Row, Delims, Col, Param type, Param name, Print Fmt\n" +
              tagLines);
  }
};

TEST_F(CheckTest, AGoodStudyShowsWhereEachValueGoes) {
  const HostRun run = study(toyStudy(), "--check");
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("parameter \"E\" -> model.txt line 2: E 1\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("parameter \"h\" -> model.txt line 3: h 2\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("ready to run 2 designs"), std::string::npos) << run.out;
  EXPECT_FALSE(fs::exists(out()));
}

TEST_F(CheckTest, AnUnknownKeyIsNamedWithTheClosestOne) {
  Json json = toyStudy();
  json["solver"]["timout"] = 10;
  expectProblem(json, "solver.timout: unknown key (did you mean \"timeout\"?)");
}

TEST_F(CheckTest, AMarkRowOutsideTheFileWritesNowhere) {
  expectProblem(withInputs(R"json([{"file": "model.txt", "mark": {
                  "E": {"mode": "free", "row": 20, "col": 2, "delims": "\\s"},
                  "h": {"mode": "free", "row": 3, "col": 2, "delims": "\\s"}}}])json"),
                "parameter \"E\": the portal wrote it nowhere: its tag in inputs[0] (model.txt), tag file "
                "M_in_toy_model.txt reaches no place in the file");
}

TEST_F(CheckTest, AMalformedMarkLineIsATagFileThePortalCannotRead) {
  markTagFile("free, 2,\\s, 2, Continuous, E, %g\nfree, 3,\\s, 2, Continuous, h\n");
  const HostRun run = study(withInputs(R"json([{"file": "model.txt", "tags": "tags/M_in_toy_model.txt"}])json"), "--check");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.out.find("  inputs[0] (model.txt), tag file M_in_toy_model.txt: the portal cannot read it; ERROR: "),
            std::string::npos)
      << run.out;
}

TEST_F(CheckTest, AnUnclosedScriptBlockLeavesItsParameterUntagged) {
  write("tags/S_in_toy_model.txt",
        "$ File type, version\nscripting, 1\n$ Tag definition file: model.txt\nSCRIPTING\n$! Number of tags: 2\n"
        "$! Start tag script\nSET_PARAMETER_LIST(E)\nGOTO_LINE(2)\nSET_VALUE_FREE(2,\\s,Default)\n$! End tag script\n\n"
        "$! Start tag script\nSET_PARAMETER_LIST(h)\nGOTO_LINE(3)\nSET_VALUE_FREE(2,\\s,Default)\n");
  expectProblem(withInputs(R"json([{"file": "model.txt", "tags": "tags/S_in_toy_model.txt"}])json"),
                "parameter \"h\": no tag names it");
}

TEST_F(CheckTest, AMissingTagFileIsNamed) {
  expectProblem(withInputs(R"json([{"file": "model.txt", "tags": "tags/M_in_toy_model.txt"}])json"),
                "inputs[0].tags: " + path("tags/M_in_toy_model.txt") + " is not a file");
}

TEST_F(CheckTest, ATagFileNamedForNoEngineIsIgnoredByThePortal) {
  markTagFile("free, 2,\\s, 2, Continuous, E, %g\nfree, 3,\\s, 2, Continuous, h, %g\n");
  fs::rename(path("tags/M_in_toy_model.txt"), path("tags/model-tags.txt"));
  expectProblem(withInputs(R"json([{"file": "model.txt", "tags": "tags/model-tags.txt"}])json"),
                "inputs[0] (model.txt), tag file model-tags.txt: the portal ignores it: a tag file's name must "
                "start with M_in_, S_in_, X_in_ or P_in_");
}

TEST_F(CheckTest, AScriptThatNamesAParameterButNeverWritesIt) {
  expectProblem(withInputs(R"json([{"file": "model.txt", "script": {
                  "E,h": "GOTO_LINE(2)\nSET_VALUE_FREE(2,\\s,Default)"}}])json"),
                "parameter \"h\": the portal wrote it nowhere: the file is unchanged where its tag in inputs[0] "
                "(model.txt), tag file S_in_toy_model.txt points");
}

TEST_F(CheckTest, AMisspeltTagNameIsPointedOut) {
  expectProblem(withInputs(R"json([{"file": "model.txt", "mark": {
                  "E": {"mode": "free", "row": 2, "col": 2, "delims": "\\s"},
                  "hh": {"mode": "free", "row": 3, "col": 2, "delims": "\\s"}}}])json"),
                "parameter \"h\": no tag names it (a tag names \"hh\", which the study does not have)");
}

TEST_F(CheckTest, AResponseNoTagNamesIsNamed) {
  Json json = toyStudy();
  json["responses"]["mass"] = Json::object();
  expectProblem(json, "response \"mass\": no tag names it");
}

TEST_F(CheckTest, ASolverThatIsNotThereIsNamed) {
  Json json = toyStudy();
  json["solver"]["command"] = Json::parse(R"(["ccx-not-installed", "-i", "beam"])");
  expectProblem(json, "solver.command: ccx-not-installed: not found on PATH");
}

}  // namespace
}  // namespace studytest
