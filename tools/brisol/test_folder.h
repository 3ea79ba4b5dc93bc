// A fresh folder per test, removed afterwards, with one-line file helpers.
#ifndef BRISOL_TEST_FOLDER_H
#define BRISOL_TEST_FOLDER_H

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace brisol {

class TestFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/brisol-test-XXXXXX";
    ASSERT_NE(nullptr, ::mkdtemp(pattern.data()));
    folder_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  bool exists(const std::string& name) const { return std::filesystem::exists(folder_ / name); }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(folder_ / name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::filesystem::path folder_;
};

// The example's cantilever: tip deflection -P L^3 / (3 E I) = -7.44047619... mm.
inline const std::string kCantileverDeck =
    "* cantilever\n"
    "ABRE /%LENGTH/ /1000/ ! mm\n"
    "ABRE /%WIDTH/ /20/\n"
    "ABRE /%HEIGHT/ /40/\n"
    "ABRE /%YOUNG/ /210000/\n"
    "ABRE /%LOAD/ /500/\n"
    "ABREMDIS /%ELEMENTS/ /8.0/\n"
    "ABRE /%DENSITY/ /7.85e-9/\n";

}  // namespace brisol

#endif
