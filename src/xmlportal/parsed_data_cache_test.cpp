#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <filesystem>

#include "portal/test_host.h"
#include "tagging/xml/xml_file.h"
#include "xmlportal/xml_portal.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::ScopedEnv;
using testing::TempFolder;
using testing::TestHost;

class ParsedDataCache : public ::testing::Test {
 protected:
  void SetUp() override { data = dir.write("big.dat", "data"); }
  bool load(const StringStringMap& props = {{"version", "1"}}, bool checkCache = true) {
    message.clear();
    return portal.loadParsedData(data, cache, props, true, message, checkCache);
  }
  void age(const String& path, int seconds) {
    struct utimbuf times;
    times.actime = times.modtime = time(nullptr) - seconds;
    utime(path.c_str(), &times);
  }
  ScopedEnv noOverride{"QZN_BRISOL_PARSE_INPUT", nullptr};
  TempFolder dir;
  TestHost host;  // refuses runCommand, so the cache sits beside the data
  xmlPortal portal{&host, "Brisol"};
  String data, cache, message;
};

TEST_F(ParsedDataCache, AMissingCacheMustBeMade) {
  EXPECT_TRUE(load());
  EXPECT_EQ(cache, dir.file("big.dat.parsedData.xml"));
}

TEST_F(ParsedDataCache, AFreshMatchingCacheIsKept) {
  dir.write("big.dat.parsedData.xml", "<c version=\"1\" filepath=\"" + data + "\"/>");
  age(data, 100);
  EXPECT_FALSE(load());
  EXPECT_TRUE(load({{"version", "1"}, {"ForceReparse", "true"}}));
  EXPECT_TRUE(load({{"version", "2"}}));
  EXPECT_FALSE(load({{"version", "2"}}, false));
}

TEST_F(ParsedDataCache, AnOlderOrBrokenCacheIsMadeAgain) {
  const String cacheFile = dir.write("big.dat.parsedData.xml", "<c version=\"1\"");
  EXPECT_TRUE(load());
  EXPECT_FALSE(message.empty());
  age(cacheFile, 100);
  EXPECT_TRUE(load({{"version", "1"}}, false));
}

TEST_F(ParsedDataCache, TheEnvironmentNamesTheCacheOutright) {
  ScopedEnv override("QZN_BRISOL_PARSE_INPUT", "/elsewhere/c.xml");
  EXPECT_FALSE(load());
  EXPECT_EQ(cache, "/elsewhere/c.xml");
}

TEST_F(ParsedDataCache, AMissingDataFileIsSaidInWords) {
  data = dir.file("gone.dat");
  EXPECT_FALSE(load());
  EXPECT_EQ(message, "Unable to open the parsing file: gone.dat");
}

TEST_F(ParsedDataCache, FoldersReadLikeMissingFiles) {
  ASSERT_TRUE(std::filesystem::create_directory(dir.file("big.dat.parsedData.xml")));
  age(data, 100);
  EXPECT_TRUE(load());
  EXPECT_EQ(message, "");
  data = dir.file("folder.dat");
  ASSERT_TRUE(std::filesystem::create_directory(data));
  EXPECT_FALSE(load());
  EXPECT_EQ(message, "Unable to open the parsing file: folder.dat");
}

TEST_F(ParsedDataCache, ACacheNestedPastTheBoundIsMadeAgain) {
  String open = "<c version=\"1\" filepath=\"" + data + "\">", close;
  for (std::size_t level = 2; level <= kMaxXmlDepth + 1; ++level) {
    open += "<n>";
    close += "</n>";
  }
  dir.write("big.dat.parsedData.xml", open + close + "</c>");
  age(data, 100);
  EXPECT_TRUE(load());
  EXPECT_EQ(message, "The XML elements are nested more than 1000 levels deep; a file nested "
                     "deeper is neither read nor saved.");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
