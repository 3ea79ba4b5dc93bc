#include "portal/portal_impl.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "portal/failing_allocations.h"
#include "portal/test_host.h"
#include "portal/test_portal.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;
using testing::TestHost;

// Records which output files reach extraction, and can fail or throw there.
class BarePortal : public testing::TestPortal {
 public:
  explicit BarePortal(IPortalHost* host) : TestPortal(host, "Bare") {}
  bool extractResponses(const String& outputPath, const StringStringMap&, TagList&,
                        String&) override {
    extracted.push_back(outputPath);
    if (throwOnExtract) throw std::runtime_error("disk on fire");
    return extractResult;
  }

  std::vector<String> extracted;
  bool extractResult = true;
  bool throwOnExtract = false;
};

struct OwnedExtension {
  void operator()(IExtension* e) const { delete e; }
};
using PortalHandle = std::unique_ptr<IExtension, OwnedExtension>;

TEST(PortalFactory, BuildsTheBrisolPortalForItsNameInAnyCase) {
  TestHost host;
  for (const char* name : {"Brisol", "brisol", "BRISOL"}) {
    PortalHandle portal(portalFactory(&host, name, nullptr));
    ASSERT_TRUE(portal) << name;
    EXPECT_EQ(portal->type(), "Portal");
    EXPECT_EQ(portal->name(), "Brisol");
    EXPECT_EQ(portal->getInterface(2), static_cast<void*>(portal.get()));
    for (int id : {0, 1, 3, -1}) EXPECT_EQ(portal->getInterface(id), nullptr);
  }
  for (const char* name : {"Brisol2", "", "Portal", " brisol"}) {
    EXPECT_EQ(portalFactory(&host, name, nullptr), nullptr) << name;
  }
}

// Every allocation the factory makes fails once, in turn: each time the host
// gets no portal or a whole one, and never an exception.
TEST(PortalFactory, AnAllocationThatFailsGivesNoPortalAndNoException) {
  TestHost host;
  const String name = "Brisol";
  for (long index = 0;; ++index) {
    IExtension* made = nullptr;
    bool failed = false;
    {
      testing::FailingAllocation failing(index);
      EXPECT_NO_THROW(made = portalFactory(&host, name, nullptr)) << "allocation " << index;
      failed = failing.failed();
    }
    PortalHandle portal(made);
    if (!failed) {
      EXPECT_TRUE(portal);
      EXPECT_GT(index, 0);
      break;
    }
    if (index == 0) {
      EXPECT_FALSE(portal);  // the portal object itself
    }
  }
}

TEST(PortalFactory, BindsTheServiceOnceForThePortalAndEachEngine) {
  TestHost host;
  PortalHandle portal(portalFactory(&host, "Brisol", &emptyProperties()));
  EXPECT_EQ(host.extensionRequests, 4);
}

TEST(PortalFactory, PortalsAreIndependentAndShareOnlyTheEmptyBag) {
  PortalHandle first(portalFactory(nullptr, "Brisol", nullptr));
  PortalHandle second(portalFactory(nullptr, "Brisol", nullptr));
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(&first->properties(), &second->properties());
  EXPECT_TRUE(first->properties().keys().empty());
  first.reset();
  auto* portal = static_cast<IPortal*>(second->getInterface(2));
  bool flag = true;
  String message;
  EXPECT_FALSE(portal->check("unknownKind", {}, flag, message));
  EXPECT_TRUE(flag);
}

TEST(PortalFactory, DumpsTheStringTableWhenAsked) {
  ScopedEnv dump("OQA_TESTING_ALL_PORTAL_MESSAGES", "");
  TestHost host;
  PortalHandle portal(portalFactory(&host, "Brisol", nullptr));
  ASSERT_EQ(host.messages.size(), 4u);
  EXPECT_EQ(host.messages[0].text, "##### START OF ALL STRING TABLE MESSAGES #####\n");
  EXPECT_EQ(host.messages[1].text, "\n");
  EXPECT_EQ(host.messages[3].text, "##### END OF ALL STRING TABLE MESSAGES #####\n");
  for (const auto& m : host.messages) EXPECT_EQ(m.level, 8);
}

TEST(CheckDispatch, KindsAreExactAndUnknownKindsLeaveTheFlag) {
  TestHost host;
  BarePortal portal(&host);
  bool flag = true;
  String message;
  EXPECT_FALSE(portal.check("checksuccess", {}, flag, message));
  EXPECT_TRUE(flag);
  EXPECT_FALSE(portal.check("checkFinish", {}, flag, message));
  EXPECT_TRUE(flag);
}

class PortalWalks : public ::testing::Test {
 protected:
  StringStringMap outputs(const String& files, const String& tagFiles) {
    return StringStringMap{{"analysisName", "a1"}, {"destDir", dir.path()},
                           {"outputFilepaths", files}, {"outputTagFilepaths", tagFiles}};
  }
  TempFolder dir;
  TestHost host;
  BarePortal portal{&host};
};

TEST_F(PortalWalks, OnlyOutputFilesWithPortalTagFilesAreExtracted) {
  const String tags = dir.write("P_out_a1_r.sdb", "<?xml version=\"1.0\"?>\n<Portal/>\n");
  String message;
  EXPECT_TRUE(portal.processOutputFiles(outputs("/r/r.sdb\n/r/s.sdb\n/r/t.sdb", tags), nullptr,
                                        message));
  EXPECT_EQ(portal.extracted, std::vector<String>{"/r/r.sdb"});
  EXPECT_EQ(message, "");
}

TEST_F(PortalWalks, AFailedExtractionIsReportedButTheOtherFilesGoOn) {
  const String tags = dir.write("P_out_a1_r.sdb", "<?xml version=\"1.0\"?>\n<Portal/>\n");
  portal.extractResult = false;
  String message;
  EXPECT_FALSE(portal.processOutputFiles(outputs("/r/r.sdb\n/r/s.sdb", tags + "\n" + tags),
                                         nullptr, message));
  EXPECT_EQ(portal.extracted, (std::vector<String>{"/r/r.sdb", "/r/s.sdb"}));
  EXPECT_EQ(message,
            "ERROR: Error getting data from output file:\n/r/r.sdb\n"
            "ERROR: Error getting data from output file:\n/r/s.sdb");
}

TEST_F(PortalWalks, AnEscapedExceptionBecomesAFailedResult) {
  const String tags = dir.write("P_out_a1_r.sdb", "<?xml version=\"1.0\"?>\n<Portal/>\n");
  portal.throwOnExtract = true;
  String message;
  EXPECT_FALSE(portal.processOutputFiles(outputs("/r/r.sdb", tags), nullptr, message));
  EXPECT_EQ(message, "Exception caught: disk on fire");
}

TEST_F(PortalWalks, UpdateWithoutTagFilesSucceeds) {
  String message;
  EXPECT_TRUE(portal.updateInputFiles({{"inputFilepaths", "/d/a.dat\n/d/b.dat"}}, nullptr,
                                      message));
  EXPECT_EQ(message, "");
}

TEST(AnalysisSettings, PrimaryFileComesFromThePortalDataLines) {
  TestHost host;
  host.service.analysisProperties["a1"]["analysisPortalData"] =
      StringStringMap{{"Lines", "primaryInput\nprimaryInput: model.inp \nprimaryOutput:r.sdb"}};
  BarePortal portal(&host);
  EXPECT_EQ(portal.primaryFile({{"analysisName", "a1"}}, true), "model.inp");
  EXPECT_EQ(portal.primaryFile({{"analysisName", "a1"}}, false), "r.sdb");
  EXPECT_EQ(portal.primaryFile({{"analysisName", "other"}}, true), "");
}

TEST(AnalysisSettings, InstallLocationPrefersLocalOnlyWhenAsked) {
  TestHost host;
  host.service.analysisProperties["a1"]["AnalysisProperty#installLocal"] =
      StringStringMap{{"installLocal", "/opt/local"}};
  host.service.analysisProperties["a1"]["AnalysisProperty#install"] =
      StringStringMap{{"install", "/opt/shared"}};
  BarePortal portal(&host);
  EXPECT_EQ(portal.installLocation("a1", true), "/opt/local");
  EXPECT_EQ(portal.installLocation("a1", false), "/opt/shared");
  EXPECT_EQ(host.service.propertyRequests,
            (std::vector<String>{"a1/AnalysisProperty#installLocal",
                                 "a1/AnalysisProperty#install"}));
  EXPECT_EQ(BarePortal(nullptr).installLocation("a1", true), "");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
