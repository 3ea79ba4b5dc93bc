// The library as a host sees it: one exported symbol, and portals that can be
// made, used and thrown away by the thousand in one host process.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include "host_extensions.h"
#include "portal/host/portal.h"
#include "portal/host/portal_host.h"

namespace {

class QuietService : public ORLIX::IPortalService {
 public:
  ORLIX::String type() const override { return "Portal"; }
  ORLIX::String name() const override { return "Portal"; }
  ORLIX::IProperties& properties() override { return properties_; }
  void* getInterface(int) override { return nullptr; }
  ORLIX::String parameterValue(const ORLIX::String&, const ORLIX::String&, const ORLIX::String&,
                               const ORLIX::String&, ORLIX::String&) override {
    return "1";
  }
  void analysisProperty(const ORLIX::String&, const ORLIX::String&, ORLIX::StringStringMap&) override {}
  void reportResponse(const ORLIX::String&, const ORLIX::StringStringMap&, const ORLIX::ResponseValues&) override {}

 private:
  portalhost::HostProperties properties_;
};

class QuietHost : public ORLIX::IPortalHost {
 public:
  void message(const ORLIX::String&, const ORLIX::String&, int, int) override {}
  bool runCommand(const ORLIX::String&, const ORLIX::StringList&, ORLIX::String&,
                  const ORLIX::StringStringMap&) override {
    return false;
  }
  ORLIX::String setting(const ORLIX::String&, const ORLIX::String& fallback) override { return fallback; }
  ORLIX::IExtension* extension(const ORLIX::String& type) override {
    return type == "Portal" ? &service : nullptr;
  }
  QuietService service;
};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;  // freed memory is held back on purpose there
#else
constexpr bool kSanitized = false;
#endif

long residentKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

TEST(LibraryBoundary, ExportsPortalFactoryAlone) {
  const std::string command = std::string("nm -D --defined-only ") + PORTAL_LIBRARY;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  ASSERT_TRUE(pipe);
  std::set<std::string> symbols;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe.get())) {
    std::istringstream fields(line);
    std::string address, kind, name;
    if (fields >> address >> kind >> name) symbols.insert(name);
  }
  EXPECT_EQ(symbols, std::set<std::string>{"portalFactory"});
}

TEST(LibraryBoundary, AThousandPortalsComeAndGoInOneHost) {
  void* library = dlopen(PORTAL_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto factory = reinterpret_cast<ORLIX::PortalFactoryFunction>(dlsym(library, "portalFactory"));
  ASSERT_NE(factory, nullptr);
  // A folder of this run's own, removed at the end: the release and sanitizer
  // builds' tests may run side by side.
  const std::filesystem::path work =
      std::filesystem::path(::testing::TempDir()) / ("boundary-" + std::to_string(::getpid()));
  std::filesystem::create_directories(work);
  std::ofstream(work / "deck.dat") << "ABRE /xT/ /1/ ! t\nABRE /xW/ /oops/\nRETURN\n";

  QuietHost host;
  long afterWarmUp = 0;
  for (int i = 1; i <= 1000; ++i) {
    std::unique_ptr<ORLIX::IExtension> portal(factory(&host, "Brisol", nullptr));
    ASSERT_TRUE(portal);
    auto* calls = static_cast<ORLIX::IPortal*>(portal->getInterface(ORLIX::kPortalInterfaceId));
    ORLIX::StringStringMap reply;
    EXPECT_TRUE(calls->handleEvent("initAnalysis", {}, reply));
    ORLIX::PortalItemList items;
    ORLIX::String message;
    EXPECT_TRUE(calls->parseInputFile((work / "deck.dat").string(), {}, items, message));
    EXPECT_EQ(items.size(), 1u);
    bool finished = true;
    calls->check("checkFinish", {{"destDir", work.string()}}, finished, message);
    EXPECT_FALSE(finished);
    if (i == 100) afterWarmUp = residentKilobytes();
  }
  if (!kSanitized) {
    EXPECT_LE(residentKilobytes(), afterWarmUp + 2048) << "resident memory grew over 900 portals";
  }
  dlclose(library);
  std::filesystem::remove_all(work);
}

}  // namespace
