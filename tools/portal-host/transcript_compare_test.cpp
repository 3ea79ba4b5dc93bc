#include "transcript_compare.h"

#include <gtest/gtest.h>

namespace portalhost {
namespace {

using nlohmann::json;

std::vector<std::string> differences(const char* expected, const char* actual) {
  return compareTranscripts(json::parse(expected), json::parse(actual));
}

TEST(TranscriptCompare, IgnoresKeyOrderAndNumberRepresentation) {
  EXPECT_TRUE(differences(R"({"steps": [{"call": "x", "result": 1, "host": []}]})",
                          R"({"steps": [{"host": [], "result": 1.0, "call": "x"}]})")
                  .empty());
}

TEST(TranscriptCompare, ListOrderMatters) {
  // "a" stays aligned; "b" moved in front of it.
  EXPECT_EQ((std::vector<std::string>{"/files/0: unexpected \"b\"", "/files/1: missing, expected \"b\""}),
            differences(R"({"files": ["a", "b"]})", R"({"files": ["b", "a"]})"));
}

TEST(TranscriptCompare, NamesTheStepOfEachDifference) {
  EXPECT_EQ((std::vector<std::string>{
                "/steps/1/flag (step 1: check): missing, expected true",
                "/steps/1/result (step 1: check): expected true, actual false",
                "/steps/1/extra (step 1: check): unexpected 3"}),
            differences(R"({"steps": [{"call": "a"}, {"call": "check", "result": true, "flag": true}]})",
                        R"({"steps": [{"call": "a"}, {"call": "check", "result": false, "extra": 3}]})"));
}

TEST(TranscriptCompare, AnExtraRecordShowsAsOneLineNotAsEveryLaterOne) {
  EXPECT_EQ((std::vector<std::string>{"/steps/0/host/1 (step 0: f): unexpected {\"setting\":\"v\"}"}),
            differences(R"({"steps": [{"call": "f", "host": [{"a": 1}, {"b": 2}, {"c": 3}]}]})",
                        R"({"steps": [{"call": "f", "host": [{"a": 1}, {"setting": "v"}, {"b": 2}, {"c": 3}]}]})"));
  EXPECT_EQ((std::vector<std::string>{"/h/2: missing, expected 3"}),
            differences(R"({"h": [1, 2, 3, 4]})", R"({"h": [1, 2, 4]})"));
}

TEST(TranscriptCompare, ChangedListElementsAreComparedInside) {
  EXPECT_EQ((std::vector<std::string>{"/h/1/message/text: expected \"a\", actual \"b\"", "/h/3: unexpected 10"}),
            differences(R"({"h": [0, {"message": {"text": "a", "level": 2}}, 9]})",
                        R"({"h": [0, {"message": {"text": "b", "level": 2}}, 9, 10]})"));
}

TEST(TranscriptCompare, EscapesKeysInPaths) {
  EXPECT_EQ((std::vector<std::string>{"/a~1b~0c: expected 1, actual 2"}),
            differences(R"({"a/b~c": 1})", R"({"a/b~c": 2})"));
}

}  // namespace
}  // namespace portalhost
