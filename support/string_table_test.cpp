#include <gtest/gtest.h>
#include <stdlib.h>

#include <regex>
#include <set>
#include <sstream>

#include "portal/host/support.h"
#include "support/host_api.h"
#include "support/test_folder.h"

namespace ORLIX {
namespace Support {
namespace {

class StringTableTest : public testing::Test {
 protected:
  void SetUp() override { StringTableAdmin::reset(); }
  void TearDown() override {
    StringTableAdmin::reset();
    StringTableAdmin::setLookupObserver({});
  }
};

std::set<int> placeholders(const String& text) {
  std::set<int> numbers;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') numbers.insert(text[i + 1] - '0');
  }
  return numbers;
}

TEST_F(StringTableTest, SetReplacesAndMissingKeysAnswerWithTheKey) {
  StringTableAdmin::set("ModA", ".k", "first");
  StringTableAdmin::set("ModA", ".k", "second");
  StringTableAdmin::set("ModB", ".k", "other module");
  EXPECT_EQ(StringTable::lookup("ModA", ".k"), "second");
  EXPECT_EQ(StringTable::lookup("ModB", ".k"), "other module");
  EXPECT_EQ(StringTable::lookup("moda", ".k"), ".k");
}

TEST_F(StringTableTest, ObserverSeesEveryLookupBeforeItIsAnswered) {
  std::vector<String> seen;
  StringTableAdmin::setLookupObserver([&](const String& module, const String& key) {
    seen.push_back(module + key);
    StringTableAdmin::set(module, key, "set by the observer");  // must not deadlock
  });
  EXPECT_EQ(StringTable::lookup("M", ".missing"), "set by the observer");
  StringTable::lookup("M", ".missing");
  StringTableAdmin::setLookupObserver({});
  StringTable::lookup("M", ".other");
  EXPECT_EQ(seen, (std::vector<String>{"M.missing", "M.missing"}));
}

TEST_F(StringTableTest, DumpIsSortedAndEscaped) {
  StringTableAdmin::set("ZZ", ".b", "two\nlines");
  StringTableAdmin::set("ZZ", ".a", "back\\slash");
  StringTableAdmin::set("AA", ".z", "first module");
  const String dump = StringTable::dumpStringTableIdsAndMessages();
  const std::size_t aa = dump.find("AA .z = first module\n");
  const std::size_t zzA = dump.find("\nZZ .a = back\\\\slash\n");
  const std::size_t zzB = dump.find("\nZZ .b = two\\nlines\n");
  ASSERT_TRUE(aa != String::npos && zzA != String::npos && zzB != String::npos) << dump;
  EXPECT_LT(aa, zzA);
  EXPECT_LT(zzA, zzB);
}

TEST_F(StringTableTest, ResetDropsHostTextsButHostTextsBeatTheDelayedLoad) {
  const String key = ".Portal.err.openInputFile";
  const String shipped = StringTable::lookup("Marking", key);
  ASSERT_NE(shipped, key);
  StringTableAdmin::set("Marking", key, "mine");
  StringTableAdmin::reset();
  EXPECT_EQ(StringTable::lookup("Marking", key), shipped);

  StringTableAdmin::reset();
  StringTableAdmin::set("Marking", key, "mine");  // before the shipped file loads
  EXPECT_EQ(StringTable::lookup("Marking", key), "mine");
}

TEST_F(StringTableTest, LoadFileReadsSectionsEscapesAndSkipsMalformedLines) {
  TestFolder folder;
  const String file = folder.write("t.tbl",
                                   "\xEF\xBB\xBF# comment\r\n"
                                   "[Mod One]\r\n"
                                   "  .a = x = y %1 %%%E\r\n"
                                   ".b = one\\ntwo \\\\ \\t\r\n"
                                   ".empty =\r\n"
                                   "\n"
                                   "not an entry\n"
                                   "[Two]\n"
                                   ".c = c\n");
  String error;
  EXPECT_FALSE(StringTableAdmin::loadFile(file, error));
  EXPECT_NE(error.find("line 7"), String::npos) << error;
  EXPECT_EQ(StringTable::lookup("Mod One", ".a"), "x = y %1 %%%E");
  EXPECT_EQ(StringTable::lookup("Mod One", ".b"), "one\ntwo \\ \\t");
  EXPECT_EQ(StringTable::lookup("Mod One", ".empty"), "");
  EXPECT_EQ(StringTable::lookup("Two", ".c"), "c");

  error.clear();
  EXPECT_FALSE(StringTableAdmin::loadFile(folder.write("early.tbl", ".a = before any section\n"), error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(StringTableAdmin::loadFile(folder / "missing.tbl", error));
}

TEST_F(StringTableTest, ShippedTextsCarryEachModulesPlaceholders) {
  const std::tuple<String, String, std::set<int>> expected[] = {
      {"tagging", ".err.extractDelimTokenInFile", {1, 2, 3, 4, 5}},
      {"Marking", ".msg.processOutputTags", {1}},
      {"Scripting", ".msg.processOutputTags", {1, 2}},
      {"Marking", ".err.openTagDefnFile", {1}},
      {"Scripting", ".err.openTagDefnFile", {1}},
      {"Xml", ".err.responseNotANumber", {1, 2}},
      {"Scripting", ".err.noEndLoop", {}},
      {"Brisol", ".err.portalAppMessageN", {1, 2}},
  };
  for (const auto& [module, id, numbers] : expected) {
    const String text = StringTable::lookup(module, ".Portal" + id);
    EXPECT_NE(text, ".Portal" + id) << module;
    EXPECT_EQ(placeholders(text), numbers) << module << " " << id << ": " << text;
  }
}

TEST_F(StringTableTest, EveryShippedTextIsUsableAsIs) {
  std::istringstream dump(StringTable::dumpStringTableIdsAndMessages());
  const std::regex entry(R"(^(tagging|Marking|Scripting|Xml|Brisol) \.Portal\.(err|msg|warn)\.\w+ = (.+)$)");
  String line;
  int entries = 0;
  while (std::getline(dump, line)) {
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(line, parts, entry)) << line;
    const String text = parts[3];
    // The portal adds the kind itself and takes the capital word for an error.
    EXPECT_TRUE(std::regex_search(text, std::regex("ERROR|WARNING:|NOTE:")) == false) << line;
    // Arguments bind in ascending order: a gap would shift every later one.
    const std::set<int> numbers = placeholders(text);
    EXPECT_TRUE(numbers.empty() || *numbers.rbegin() == static_cast<int>(numbers.size())) << line;
    ++entries;
  }
  EXPECT_GT(entries, 100);
}

TEST(ResourceFolder, EnvironmentOverridesTheFolderBesideTheLibrary) {
  const String beside = resourceFolder();
  EXPECT_TRUE(File::exists(beside + "/strings.tbl")) << beside;
  EXPECT_TRUE(File::exists(beside + "/tool-messages.conf")) << beside;
  ::setenv("ORLIX_SUPPORT_RESOURCES", "/elsewhere", 1);
  EXPECT_EQ(resourceFolder(), "/elsewhere");
  ::setenv("ORLIX_SUPPORT_RESOURCES", "", 1);
  EXPECT_EQ(resourceFolder(), beside);
  ::unsetenv("ORLIX_SUPPORT_RESOURCES");
}

}  // namespace
}  // namespace Support
}  // namespace ORLIX
