#include "host_files.h"

#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

namespace portalhost {
namespace {

namespace fs = std::filesystem;

TEST(WorkPlaceholder, IsReplacedInKeysAndValuesAtAnyDepth) {
  Json scenario = Json::parse(R"({"files": {"z": 1, "${WORK}/a.txt": "see ${WORK}/b and ${WORK}", "a": 2},
                                  "steps": [{"call": "readFile", "path": "${WORK}"}], "n": 1})");
  substituteWork(scenario, "/tmp/w");
  // Order kept, keys included: files are created in the order listed.
  EXPECT_EQ(Json::parse(R"({"files": {"z": 1, "/tmp/w/a.txt": "see /tmp/w/b and /tmp/w", "a": 2},
                            "steps": [{"call": "readFile", "path": "/tmp/w"}], "n": 1})"),
            scenario);
}

TEST(WorkPlaceholder, IsWrittenBackForEveryOccurrenceOfThePath) {
  Json transcript = Json::parse(R"({"/tmp/w/x": ["/tmp/w", "in /tmp/w/a and /tmp/w/b", "/tmp/v"]})");
  restoreWork(transcript, "/tmp/w");
  EXPECT_EQ(Json::parse(R"({"${WORK}/x": ["${WORK}", "in ${WORK}/a and ${WORK}/b", "/tmp/v"]})"), transcript);
  // Keys that become one keep the first one's place and the last one's value.
  Json twice = Json::parse(R"({"${WORK}/a": 1, "b": 2, "/tmp/w/a": 3})");
  restoreWork(twice, "/tmp/w");
  EXPECT_EQ(twice.dump(), R"({"${WORK}/a":3,"b":2})");
  Json untouched = Json::parse(R"({"a": "x"})");
  restoreWork(untouched, "");
  EXPECT_EQ(untouched.dump(), R"({"a":"x"})");
}

TEST(WorkFolder, IsFreshCanonicalCurrentAndRemovedUnlessKept) {
  const fs::path before = fs::current_path();
  std::string path;
  {
    WorkFolder work(false);
    path = work.path();
    EXPECT_EQ(fs::canonical(path).string(), path);
    EXPECT_EQ(path, fs::current_path().string());
    EXPECT_TRUE(fs::is_empty(path));
    writeTextFile("locked/inner.txt", "x");
    changeMode("locked", 0555);
  }
  EXPECT_EQ(before, fs::current_path());
  EXPECT_FALSE(fs::exists(path));
  {
    WorkFolder work(true);
    path = work.path();
  }
  EXPECT_TRUE(fs::exists(path));
  fs::remove_all(path);
}

class HostFiles : public ::testing::Test {
 protected:
  WorkFolder work_{false};
};

TEST_F(HostFiles, WriteCreatesFoldersAndReadReturnsTheExactBytes) {
  writeTextFile("a/b/c.txt", std::string("x\r\ny\0z", 6));
  EXPECT_EQ(std::string("x\r\ny\0z", 6), readTextFile("a/b/c.txt").value());
  EXPECT_FALSE(readTextFile("a/b").has_value());
  EXPECT_FALSE(readTextFile("missing.txt").has_value());
}

TEST_F(HostFiles, ListsNamesSortedBytewise) {
  for (const char* name : {"b.txt", "B.txt", "a.txt", "_x", ".hidden"}) writeTextFile(name, "");
  fs::create_directory("dir");
  EXPECT_EQ((std::vector<std::string>{".hidden", "B.txt", "_x", "a.txt", "b.txt", "dir"}), listFolder("."));
  EXPECT_TRUE(listFolder("nowhere").empty());
}

TEST_F(HostFiles, RemovesFilesAndFoldersAndIgnoresMissingOnes) {
  writeTextFile("f.txt", "1");
  writeTextFile("d/g.txt", "2");
  removePath("f.txt");
  removePath("d");
  removePath("never.txt");
  EXPECT_TRUE(listFolder(".").empty());
}

TEST_F(HostFiles, SetsModificationTimesRelativeToNow) {
  writeTextFile("old.txt", "");
  writeTextFile("new.txt", "");
  setModifiedTime("old.txt", -3600);
  setModifiedTime("new.txt", 120.5);
  const auto now = fs::file_time_type::clock::now();
  EXPECT_NEAR(-3600, std::chrono::duration<double>(fs::last_write_time("old.txt") - now).count(), 5);
  EXPECT_NEAR(120.5, std::chrono::duration<double>(fs::last_write_time("new.txt") - now).count(), 5);
  EXPECT_THROW(setModifiedTime("missing.txt", 0), HostFileError);
}

TEST_F(HostFiles, ChangesModes) {
  writeTextFile("f.txt", "");
  changeMode("f.txt", 0640);
  EXPECT_EQ(fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
            fs::status("f.txt").permissions());
  EXPECT_THROW(changeMode("missing.txt", 0644), HostFileError);
}

}  // namespace
}  // namespace portalhost
