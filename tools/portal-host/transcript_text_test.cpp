#include "transcript_text.h"

#include <string>

#include <gtest/gtest.h>

#include "host_files.h"

namespace portalhost {
namespace {

const std::string kWork = "/tmp/w";

// Every call and step goes both into the printer and into a tree; the tree,
// with the work folder restored and dumped, is what the printer must match.
class TranscriptTextTest : public ::testing::Test {
 protected:
  explicit TranscriptTextTest(const std::string& workPath = kWork)
      : workPath_(workPath), calls_(workPath), text_(workPath) {}

  template <typename... Fields>
  void call(const char* kind, const Fields&... keysAndValues) {
    calls_.add(kind, keysAndValues...);
    Json fields = Json::object();
    put(fields, keysAndValues...);
    Json element = Json::object();
    element[kind] = std::move(fields);
    treeCalls_.push_back(std::move(element));
  }

  void step(Json record) {
    text_.addStep(record, calls_);
    record["host"] = std::move(treeCalls_);
    treeSteps_.push_back(std::move(record));
    calls_.clear();
    treeCalls_ = Json::array();
  }

  std::string printedTree() {
    Json transcript = Json::object();
    transcript["steps"] = treeSteps_;
    restoreWork(transcript, workPath_);
    return transcript.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
  }

  void expectSameText() { EXPECT_EQ(printedTree(), text_.finish()); }

 private:
  static void put(Json& /*fields*/) {}
  template <typename Value, typename... Rest>
  static void put(Json& fields, const char* key, const Value& value, const Rest&... rest) {
    fields[key] = Json(value);
    put(fields, rest...);
  }

  std::string workPath_;
  HostCallText calls_;
  TranscriptText text_;
  Json treeCalls_ = Json::array();
  Json treeSteps_ = Json::array();
};

TEST_F(TranscriptTextTest, PrintsNoStepsAsAnEmptyList) { expectSameText(); }

TEST_F(TranscriptTextTest, PrintsStepsAndCallsAsTheJsonLibraryPrintsTheTree) {
  call("parameterValue", "type", std::string("Continuous"), "name", std::string("p1"), "file",
       std::string("/tmp/w/model.txt"), "format", std::string("%g"));
  call("message", "text", std::string("quote \" slash \\ tab \t feed \n bell \x01 del \x7f"), "analysisName",
       std::string("caf\xc3\xa9 \xe2\x82\xac"), "evalId", -7, "level", 0);
  call("message", "text", std::string("cut \xff\xfe and \xc3 short"), "evalId", 2147483647);
  call("setting");
  step(Json::parse(R"({"call": "portalFactory", "created": true, "interfaces": {"0": true, "1": false}})"));

  step(Json::parse(R"({"call": "destroy"})"));
  step(Json::object());

  Json options = Json::object();
  options["/tmp/w/key"] = "at /tmp/w and /tmp/w/x";
  options["empty"] = Json::object();
  call("runCommand", "program", std::string("/tmp/w"), "arguments", Json::array(), "folder",
       std::string("/tmp/wide"), "options", options);
  call("reportResponse", "numbers", Json::parse(R"([2.5, "nan", -1e300, 0, [], [1, {"a": []}]])"));
  step(Json::parse(R"({"call": "readFile", "exists": true, "content": "in /tmp/w/a\n", "files": []})"));
  expectSameText();
}

class UnsetWorkTest : public TranscriptTextTest {
 protected:
  UnsetWorkTest() : TranscriptTextTest("") {}
};

TEST_F(UnsetWorkTest, LeavesEveryTextAsItWas) {
  call("lookup", "module", std::string("${WORK}"), "key", std::string(""));
  step(Json::parse(R"({"call": "setEnv", "path": ""})"));
  expectSameText();
}

TEST(JsonString, WritesTheWorkFolderBackWhereverItStands) {
  std::string out;
  appendJsonString(out, "/tmp/w", kWork);
  appendJsonString(out, "a /tmp/w/b \"/tmp/w\"", kWork);
  appendJsonString(out, "/tmp/v /tmp/", kWork);
  EXPECT_EQ(R"("${WORK}""a ${WORK}/b \"${WORK}\"""/tmp/v /tmp/")", out);
}

}  // namespace
}  // namespace portalhost
