#include "json_convert.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace portalhost {
namespace {

TEST(JsonConvert, ItemsTakeDefaultsForAbsentKeysAndAlwaysWriteEveryKey) {
  const ORLIX::PortalItem item = itemFromJson(Json::parse(R"({"name": "R1", "children": [{}]})"));
  EXPECT_EQ(R"({"name":"R1","typeLabel":"","flags":0,"entries":[],"children":[)"
            R"({"name":"","typeLabel":"","flags":0,"entries":[],"children":[]}]})",
            itemToJson(item).dump());
}

TEST(JsonConvert, ItemsRoundTripWithNestedChildrenAndEntryKinds) {
  const Json json = Json::parse(R"({"name": "G", "typeLabel": "Group", "flags": 5,
      "entries": [["a", "1", ""], ["b", "2", "Prop"]],
      "children": [{"name": "p", "typeLabel": "Real", "flags": 1, "entries": [], "children": []}]})");
  EXPECT_EQ(json, itemToJson(itemFromJson(json)));
}

TEST(JsonConvert, TagAttributesMayLeaveOutTheirKind) {
  const ORLIX::Portals::TagList tags = tagsFromJson(Json::parse(
      R"([{"path": ["G", "t"], "paramName": "x", "attributes": [["line", "3"], ["fmt", "%g", "Prop"]]}])"));
  ASSERT_EQ(1u, tags.size());
  EXPECT_EQ("", tags.front().attributes[0].kind);
  EXPECT_EQ("Prop", tags.front().attributes[1].kind);
  EXPECT_EQ(R"([{"path":["G","t"],"paramName":"x","paramType":"",)"
            R"("attributes":[["line","3",""],["fmt","%g","Prop"]]}])",
            tagsToJson(tags).dump());
}

TEST(JsonConvert, PropsAndRequestsKeepTheirShape) {
  const ORLIX::StringStringMap props = propsFromJson(Json::parse(R"({"b": "2", "a": "1"})"));
  EXPECT_EQ("2", props["b"]);
  EXPECT_EQ(R"({"a":"1","b":"2"})", propsToJson(props).dump());
  EXPECT_EQ(R"([{"name":"r","columns":["c1","c2"]}])",
            requestsToJson({ORLIX::ResponseRequest{"r", {"c1", "c2"}}}).dump());
}

TEST(JsonConvert, NumbersThatJsonCannotHoldBecomeTexts) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(R"([1.5,"nan","inf","-inf",-0.0])",
            numbersToJson({1.5, std::nan(""), inf, -inf, -0.0}).dump());
}

TEST(JsonConvert, StepArgumentsFallBackWhenAbsent) {
  const Json step = Json::parse(R"({"kind": "k", "initial": true, "mode": 4})");
  EXPECT_EQ("k", textArg(step, "kind"));
  EXPECT_EQ("dflt", textArg(step, "path", "dflt"));
  EXPECT_TRUE(flagArg(step, "initial", false));
  EXPECT_TRUE(flagArg(step, "creationProperties", true));
  EXPECT_EQ(4, intArg(step, "mode", 0));
  EXPECT_EQ(0, intArg(step, "flags", 0));
}

}  // namespace
}  // namespace portalhost
