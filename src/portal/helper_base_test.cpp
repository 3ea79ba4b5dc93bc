#include "portal/helper_base.h"

#include <gtest/gtest.h>

#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::ScopedEnv;
using testing::TestHost;

class Probe : public HelperBase {
 public:
  explicit Probe(IPortalHost* host) : HelperBase(host) {}
  String name() const override { return "Probe"; }
};

class LogSwitch : public ::testing::Test {
 protected:
  // Each test starts from a clean environment for the two switches it may read.
  ScopedEnv portalLog{"QZN_PORTAL_LOG", nullptr};
  ScopedEnv probeLog{"QZN_PROBE_LOG", nullptr};
  TestHost host;
  Probe probe{&host};
  StringStringMap props{{"analysisName", "a1"}, {"evalId", "7.9"}};
};

TEST_F(LogSwitch, VerboseHostSettingLogsWhateverTheEnvironmentSays) {
  ScopedEnv off("QZN_PORTAL_LOG", "no");
  host.settings["verbose"] = "TRUE";
  EXPECT_TRUE(probe.log("hello", props));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "hello");
  EXPECT_EQ(host.messages[0].analysisName, "a1");
  EXPECT_EQ(host.messages[0].evalId, 7);
  EXPECT_EQ(host.messages[0].level, 8);
}

TEST_F(LogSwitch, EnvironmentOffIsFinalForTheObject) {
  ScopedEnv off("QZN_PORTAL_LOG", "no");
  EXPECT_FALSE(probe.log("one", props));
  EXPECT_EQ(probe.logState(), HelperBase::LogState::Off);
  host.settings["verbose"] = "true";
  EXPECT_FALSE(probe.log("two", props));
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(host.settingRequests.size(), 1u);
}

TEST_F(LogSwitch, WithoutEnvironmentTheHostSettingIsAskedOnEveryCall) {
  EXPECT_FALSE(probe.log("one", props));
  EXPECT_EQ(probe.logState(), HelperBase::LogState::EnvUnset);
  EXPECT_FALSE(probe.log("two", props));
  host.settings["verbose"] = "yes";
  EXPECT_TRUE(probe.log("three", props));
  EXPECT_EQ(host.settingRequests, (std::vector<String>{"verbose", "verbose", "verbose"}));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "three");
}

TEST_F(LogSwitch, ObjectVariableWinsOverThePortalVariable) {
  ScopedEnv portalOn("QZN_PORTAL_LOG", "yes");
  ScopedEnv probeOff("QZN_PROBE_LOG", "0");
  EXPECT_FALSE(probe.log("x", props));
  Probe other(&host);
  ScopedEnv probeUnset("QZN_PROBE_LOG", "");
  EXPECT_TRUE(other.log("y", props));
}

TEST(ServiceBinding, AcceptsOnlyAnExtensionOfTypePortal) {
  TestHost host;
  EXPECT_EQ(Probe(&host).service(), &host.service);
  host.service.typeName = "Other";
  EXPECT_EQ(Probe(&host).service(), nullptr);
  host.offerService = false;
  EXPECT_EQ(Probe(&host).service(), nullptr);
  EXPECT_EQ(Probe(nullptr).service(), nullptr);
}

TEST(NotifyHost, DropsEmptyTextsAndToleratesAMissingHost) {
  TestHost host;
  Probe probe(&host);
  probe.notifyHost("", {});
  probe.notifyHost("x", {{"evalId", "not a number"}}, MessageLevel::Output);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].evalId, 0);
  EXPECT_EQ(host.messages[0].level, 16);
  Probe orphan(nullptr);
  orphan.notifyHost("x", {});
  EXPECT_FALSE(orphan.log("x", {}));
}

TEST(ResponseReporting, CopiesTheContextAndTurnsEmptyValuesIntoAnError) {
  TestHost host;
  Probe probe(&host);
  const StringStringMap props{{"analysisName", "a1"}, {"evalId", "3"}, {"caseIndex", "2"},
                              {"destDir", "/x"}};
  ResponseValues values;
  values.numbers = {1.5};
  probe.reportResponseValues("r1", props, values);
  probe.reportResponseValues("r2", props, ResponseValues());
  ASSERT_EQ(host.service.reports.size(), 2u);
  const auto& ok = host.service.reports[0];
  EXPECT_EQ(ok.context, (StringStringMap{{"analysisName", "a1"}, {"evalId", "3"},
                                         {"caseIndex", "2"}}));
  EXPECT_EQ(ok.values.numbers, std::vector<double>{1.5});
  const auto& failed = host.service.reports[1];
  EXPECT_EQ(failed.context["errorInCall"], "true");
  EXPECT_EQ(failed.context["message"], "No values provided for response 'r2'");
  EXPECT_TRUE(failed.values.empty());
}

TEST(ParsedDataOverride, ReadsTheUpperCasedVariableOfTheDirection) {
  TestHost host;
  Probe probe(&host);
  ScopedEnv out("QZN_PROBE_PARSE_OUTPUT", "/cache/out.xml");
  ScopedEnv in("QZN_PROBE_PARSE_INPUT", nullptr);
  EXPECT_EQ(probe.parsedDataOverride(false), "/cache/out.xml");
  EXPECT_EQ(probe.parsedDataOverride(true), "");
}

TEST(InputTagCache, ReadsEachBaseNameOnceAndCachesOnlySuccess) {
  TestHost host;
  Probe probe(&host);
  int reads = 0;
  int result = 0;
  HelperBase::TagFileReader reader = [&](const String& path, const StringStringMap& props,
                                         TagList& tags, StringStringMap&, String&) {
    ++reads;
    if (result == 0) {
      TagData tag;
      tag.paramName = props["inputFilename"] + "@" + path;
      tags.push_back(tag);
    }
    return result;
  };

  result = 1;
  TagList tags;
  EXPECT_FALSE(probe.cachedInputTags(reader, "/a/P_in_x", "deck.dat", tags));
  result = 0;
  EXPECT_TRUE(probe.cachedInputTags(reader, "/a/P_in_x", "deck.dat", tags));
  TagList again;
  EXPECT_TRUE(probe.cachedInputTags(reader, "/other/P_in_x", "other.dat", again));
  EXPECT_EQ(reads, 2);
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(again.front().paramName, "deck.dat@/a/P_in_x");

  // The shared form hands out the cached list itself, from the same cache.
  const auto shared = probe.sharedInputTags(reader, "/b/P_in_x", "b.dat");
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared->front().paramName, "deck.dat@/a/P_in_x");
  EXPECT_EQ(shared, probe.sharedInputTags(reader, "/c/P_in_x", "c.dat"));
  result = 1;
  EXPECT_EQ(probe.sharedInputTags(reader, "/a/P_in_y", "deck.dat"), nullptr);
  EXPECT_EQ(reads, 3);
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
