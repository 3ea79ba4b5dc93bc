#include "host_behaviour.h"

#include <gtest/gtest.h>

namespace portalhost {
namespace {

TEST(HostBehaviour, DefaultsAnswerLikeAPlainHost) {
  const HostBehaviour behaviour("/w");
  EXPECT_TRUE(behaviour.present);
  EXPECT_EQ(ServiceChoice::Portal, behaviour.service);
  EXPECT_EQ("/w/.host", behaviour.workingFolder);
  ASSERT_EQ(1u, behaviour.runCommand.size());
  EXPECT_TRUE(behaviour.runCommand[0].result);
  EXPECT_FALSE(behaviour.runCommand[0].execute);
  EXPECT_FALSE(behaviour.toolMessages.has_value());
}

TEST(HostBehaviour, ApplyReplacesOnlyTheGivenKeysAndEachOneWhole) {
  HostBehaviour behaviour("/w");
  behaviour.apply(Json::parse(R"({"settings": {"a": "1", "b": "2"}, "parameters": {"x": "3"}})"));
  behaviour.apply(Json::parse(R"({"call": "setHost", "settings": {"c": "4"}, "service": "none"})"));
  EXPECT_FALSE(behaviour.settings.contains("a"));
  EXPECT_EQ("4", behaviour.settings["c"]);
  EXPECT_EQ("3", behaviour.parameters["x"]);
  EXPECT_EQ(ServiceChoice::None, behaviour.service);
  EXPECT_EQ("/w/.host", behaviour.workingFolder);
}

TEST(HostBehaviour, ReadsTheCommandQueueInOrder) {
  HostBehaviour behaviour("/w");
  behaviour.apply(Json::parse(
      R"({"runCommand": [{"result": false}, {"execute": true, "writeFiles": {"b": "2", "a": "1"}}]})"));
  ASSERT_EQ(2u, behaviour.runCommand.size());
  EXPECT_FALSE(behaviour.runCommand[0].result);
  EXPECT_TRUE(behaviour.runCommand[1].execute);
  ASSERT_EQ(2u, behaviour.runCommand[1].writeFiles.size());
  EXPECT_EQ("b", behaviour.runCommand[1].writeFiles[0].first);
  behaviour.apply(Json::parse(R"({"runCommand": []})"));
  ASSERT_EQ(1u, behaviour.runCommand.size());
  EXPECT_TRUE(behaviour.runCommand[0].result);
}

TEST(HostBehaviour, ToolMessagesCanBeSetAndWithdrawn) {
  HostBehaviour behaviour("/w");
  behaviour.apply(Json::parse(R"({"toolMessages": {"brisol": {"errors": ["ERROR: x"]}}})"));
  ASSERT_TRUE(behaviour.toolMessages.has_value());
  EXPECT_EQ(ORLIX::StringList{"ERROR: x"}, behaviour.toolMessages->at("brisol").at("errors"));
  behaviour.apply(Json::parse(R"({"toolMessages": null})"));
  EXPECT_FALSE(behaviour.toolMessages.has_value());
}

TEST(HostBehaviour, NestedTablesReplaceTheirPredecessors) {
  HostBehaviour behaviour("/w");
  behaviour.apply(Json::parse(R"({"analysisProperties": {"A": {"k": {"a": "1"}}},
                                  "stringTable": {"M": {"x": "1"}}})"));
  EXPECT_EQ("1", behaviour.analysisProperties.at("A").at("k")["a"]);
  behaviour.apply(Json::parse(R"({"analysisProperties": {"B": {}}, "stringTable": {"N": {"y": "2"}}})"));
  EXPECT_EQ(0u, behaviour.analysisProperties.count("A"));
  EXPECT_EQ(0u, behaviour.stringTable.count("M"));
  EXPECT_EQ("2", behaviour.stringTable.at("N").at("y"));
}

}  // namespace
}  // namespace portalhost
