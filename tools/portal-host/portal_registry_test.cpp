#include "portal_registry.h"

#include <gtest/gtest.h>

#include "scenario_schema.h"

namespace portalhost {
namespace {

// Counts its destructions, so double deletes and leaks both show.
class CountedPortal : public ORLIX::IExtension {
 public:
  explicit CountedPortal(int& destroyed) : destroyed_(destroyed) {}
  ~CountedPortal() override { ++destroyed_; }
  ORLIX::String type() const override { return "Portal"; }
  ORLIX::String name() const override { return "Counted"; }
  ORLIX::IProperties& properties() override { throw std::logic_error("not used"); }
  void* getInterface(int /*id*/) override { return nullptr; }

 private:
  int& destroyed_;
};

std::string pickError(PortalRegistry& registry, const char* step) {
  try {
    registry.pick(Json::parse(step), "steps[4]");
  } catch (const ScenarioError& error) {
    return error.what();
  }
  return "";
}

TEST(PortalRegistry, DefaultsToTheNewestPortalStillAlive) {
  int destroyed = 0;
  PortalRegistry registry;
  auto* first = new CountedPortal(destroyed);
  auto* second = new CountedPortal(destroyed);
  registry.add(first, nullptr);
  registry.add(second, nullptr);
  EXPECT_EQ(second, registry.pick(Json::object(), "s").extension);
  EXPECT_EQ(first, registry.pick(Json::parse(R"({"portal": 0})"), "s").extension);
  registry.destroy(registry.pick(Json::object(), "s"));
  EXPECT_EQ(1, destroyed);
  EXPECT_EQ(first, registry.pick(Json::object(), "s").extension);
}

TEST(PortalRegistry, RefusesPortalsThatDoNotExist) {
  int destroyed = 0;
  PortalRegistry registry;
  EXPECT_EQ("steps[4].portal: no portal is alive at this step", pickError(registry, "{}"));
  registry.add(new CountedPortal(destroyed), nullptr);
  registry.destroy(registry.pick(Json::object(), "s"));
  EXPECT_EQ("steps[4].portal: portal 0 was destroyed", pickError(registry, R"({"portal": 0})"));
  EXPECT_EQ("steps[4].portal: no portal 1 (1 created so far)", pickError(registry, R"({"portal": 1})"));
  EXPECT_EQ("steps[4].portal: no portal is alive at this step", pickError(registry, "{}"));
}

TEST(PortalRegistry, DestroysWhatIsLeftExactlyOnce) {
  int destroyed = 0;
  {
    PortalRegistry registry;
    for (int i = 0; i < 3; ++i) registry.add(new CountedPortal(destroyed), nullptr);
    registry.destroy(registry.pick(Json::parse(R"({"portal": 1})"), "s"));
  }
  EXPECT_EQ(3, destroyed);
}

}  // namespace
}  // namespace portalhost
