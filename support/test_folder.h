// A scratch folder per test, removed with everything in it afterwards.
#ifndef ORLIX_SUPPORT_TEST_FOLDER_H
#define ORLIX_SUPPORT_TEST_FOLDER_H

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

struct TestFolder {
  std::string path = testing::TempDir() + "/orlixsupport-XXXXXX";
  TestFolder() { EXPECT_NE(mkdtemp(&path[0]), nullptr); }
  ~TestFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  // Writes `content` byte for byte; returns the file's path.
  std::string write(const std::string& name, const std::string& content) const {
    std::ofstream(*this / name, std::ios::binary) << content;
    return *this / name;
  }
  static std::string read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

#endif
