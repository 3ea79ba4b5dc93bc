#include "recording_host.h"

#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "host_files.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;

class RecordingHostTest : public ::testing::Test {
 protected:
  RecordingHostTest() { recorder_.startStep(); }

  Json records() const { return Json::parse("[" + recorder_.calls().text() + "]"); }

  ORLIX::IPortalService* service() { return static_cast<ORLIX::IPortalService*>(host_.extension("Portal")); }

  bool run(const std::string& program, ORLIX::String& folder, const ORLIX::StringList& arguments = {}) {
    return host_.runCommand(program, arguments, folder, ORLIX::StringStringMap());
  }

  WorkFolder work_{false};
  CallRecorder recorder_;
  HostBehaviour behaviour_{work_.path()};
  RecordingHost host_{recorder_, behaviour_};
};

TEST_F(RecordingHostTest, RecordsEveryCallOfTheStepInOrder) {
  behaviour_.apply(Json::parse(R"({"settings": {"verbose": "yes"}})"));
  host_.message("Hello", "An", 7, 2);
  EXPECT_EQ("yes", host_.setting("verbose", "no"));
  EXPECT_EQ("0", host_.setting("scriptverbose", "0"));
  EXPECT_EQ(nullptr, host_.extension("Other"));
  ORLIX::String folder = "f";
  host_.runCommand("tallex", {"-b", "x.in"}, folder, {{"mode", "batch"}});
  EXPECT_EQ(Json::parse(R"([
      {"message": {"text": "Hello", "analysisName": "An", "evalId": 7, "level": 2}},
      {"setting": {"key": "verbose", "default": "no"}},
      {"setting": {"key": "scriptverbose", "default": "0"}},
      {"extension": {"type": "Other"}},
      {"runCommand": {"program": "tallex", "arguments": ["-b", "x.in"], "folder": "f", "options": {"mode": "batch"}}}
  ])"), records());
}

TEST_F(RecordingHostTest, DropsCallsMadeBetweenSteps) {
  recorder_.endStep();
  host_.message("late", "", 0, 8);
  EXPECT_TRUE(records().empty());
}

TEST_F(RecordingHostTest, AnswersExtensionPortalAsTheServiceChoiceSays) {
  ASSERT_NE(nullptr, service());
  EXPECT_EQ("Portal", service()->type());
  behaviour_.apply(Json::parse(R"({"service": "other"})"));
  ASSERT_NE(nullptr, host_.extension("Portal"));
  EXPECT_EQ("Other", host_.extension("Portal")->type());
  behaviour_.apply(Json::parse(R"({"service": "none"})"));
  EXPECT_EQ(nullptr, host_.extension("Portal"));
}

TEST_F(RecordingHostTest, TakesOneQueueEntryPerProgramRunAndRepeatsTheLast) {
  behaviour_.apply(Json::parse(R"({"runCommand": [{"result": false}, {"result": true}, {"result": false}]})"));
  ORLIX::String folder;
  std::vector<bool> answers;
  for (int i = 0; i < 4; ++i) answers.push_back(run("tallex", folder));
  EXPECT_EQ((std::vector<bool>{false, true, false, false}), answers);

  // Asking for a folder is not a program run and takes no entry.
  behaviour_.apply(Json::parse(R"({"runCommand": [{"result": false}, {"result": true}]})"));
  host_.restartCommandQueue();
  host_.runCommand("", {}, folder, {{"sub", "t"}});
  EXPECT_FALSE(run("tallex", folder));
  EXPECT_TRUE(run("tallex", folder));
}

TEST_F(RecordingHostTest, MakesSubFoldersUnderTheWorkingFolderRoot) {
  ORLIX::String folder = "as passed";
  EXPECT_TRUE(host_.runCommand("", {}, folder, {{"sub", "tallex1"}}));
  EXPECT_EQ(work_.path() + "/.host/tallex1", folder);
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ("as passed", records()[0]["runCommand"]["folder"]);

  behaviour_.apply(Json::parse(R"({"workingFolder": "elsewhere"})"));
  EXPECT_TRUE(host_.runCommand("", {}, folder, {{"sub", "a/b"}}));
  EXPECT_EQ("elsewhere/a/b", folder);
  EXPECT_TRUE(fs::is_directory("elsewhere/a/b"));

  ORLIX::String untouched = "u";
  EXPECT_FALSE(host_.runCommand("", {}, untouched, {}));
  EXPECT_EQ("u", untouched);
}

TEST_F(RecordingHostTest, WritesFilesRelativeToTheCallsWorkingFolder) {
  Json queue = Json::parse(R"({"runCommand": [{"writeFiles": {"out/r.txt": "rel"}}]})");
  queue["runCommand"][0]["writeFiles"][work_.path() + "/abs.txt"] = "abs";
  behaviour_.apply(queue);
  writeTextFile("run/keep", "");
  ORLIX::String folder = work_.path() + "/run";
  EXPECT_TRUE(run("tallex", folder));
  EXPECT_EQ("rel", readTextFile("run/out/r.txt").value_or("missing"));
  EXPECT_EQ("abs", readTextFile("abs.txt").value_or("missing"));
  ORLIX::String current;
  EXPECT_TRUE(run("tallex", current));
  EXPECT_EQ("rel", readTextFile("out/r.txt").value_or("missing"));
}

TEST_F(RecordingHostTest, ExecutesProgramsInTheWorkingFolderAndAnswersTheirExitStatus) {
  behaviour_.apply(Json::parse(R"({"runCommand": [{"execute": true, "result": false}]})"));
  writeTextFile("run/marker", "");
  ORLIX::String folder = work_.path() + "/run";
  EXPECT_TRUE(run("sh", folder, {"-c", "test -f marker && echo done > ran.txt"}));
  EXPECT_EQ("done\n", readTextFile("run/ran.txt").value_or("missing"));
  EXPECT_FALSE(run("sh", folder, {"-c", "exit 3"}));
  EXPECT_FALSE(run("no-such-program-anywhere", folder));
}

TEST_F(RecordingHostTest, ServiceFormatsParametersAndLeavesMissingOnesEmpty) {
  behaviour_.apply(Json::parse(R"({"parameters": {"w": "2.345"}})"));
  ORLIX::String message = "before";
  EXPECT_EQ("2.35", service()->parameterValue("Real", "w", "d.dat", "%.2f", message));
  EXPECT_EQ("2.345", service()->parameterValue("Real", "w", "d.dat", "Default", message));
  EXPECT_EQ("", service()->parameterValue("Real", "q", "d.dat", "%.2f", message));
  EXPECT_EQ("before", message);
  EXPECT_EQ(Json::parse(R"({"type": "Real", "name": "q", "file": "d.dat", "format": "%.2f"})"),
            records().back()["parameterValue"]);
}

TEST_F(RecordingHostTest, ServiceReplacesAnalysisPropertiesOnlyWhenKnown) {
  behaviour_.apply(Json::parse(R"({"analysisProperties": {"An": {"files": {"a": "1"}}}})"));
  ORLIX::StringStringMap out{{"old", "x"}};
  service()->analysisProperty("An", "files", out);
  EXPECT_EQ((ORLIX::StringStringMap{{"a", "1"}}), out);
  service()->analysisProperty("An", "other", out);
  service()->analysisProperty("Bn", "files", out);
  EXPECT_EQ((ORLIX::StringStringMap{{"a", "1"}}), out);
}

TEST_F(RecordingHostTest, ServiceRecordsReportedResponses) {
  ORLIX::ResponseValues values;
  values.numbers = {2.5, std::nan(""), -HUGE_VAL};
  values.texts = {"ok"};
  service()->reportResponse("R1", {{"step", "3"}}, values);
  EXPECT_EQ(Json::parse(R"({"name": "R1", "context": {"step": "3"}, "numbers": [2.5, "nan", "-inf"],
                            "texts": ["ok"]})"),
            records().back()["reportResponse"]);
}

}  // namespace
}  // namespace portalhost
