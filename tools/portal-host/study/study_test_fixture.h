// Studies run end to end through the built portal-host, as an engineer runs
// them: a study folder of its own per test, the command's exit status and
// output, and the files it leaves.
#ifndef PORTAL_HOST_STUDY_STUDY_TEST_FIXTURE_H
#define PORTAL_HOST_STUDY_STUDY_TEST_FIXTURE_H

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace studytest {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

struct HostRun {
  int status = -1;
  std::string out, err;
};

// A toy model every test can change: model.txt holds "E 1" and "h 2"; the
// solver multiplies and adds them into out.txt ("result <E*h> <E+h>").
inline Json toyStudy() {
  return Json::parse(R"json({
    "name": "toy",
    "inputs": [{"file": "model.txt", "mark": {
      "E": {"mode": "free", "row": 2, "col": 2, "delims": "\\s"},
      "h": {"mode": "free", "row": 3, "col": 2, "delims": "\\s"}}}],
    "outputs": [{"file": "out.txt", "mark": {
      "product": {"mode": "free", "row": 1, "col": 2, "delims": "\\s"},
      "sum": {"mode": "free", "row": 1, "col": 3, "delims": "\\s"}}}],
    "solver": {"command": ["sh", "-c",
      "awk '$1==\"E\"{e=$2} $1==\"h\"{h=$2} END{print \"result\", e*h, e+h}' model.txt > out.txt"]},
    "parameters": {"E": {}, "h": {}},
    "responses": {"product": {}, "sum": {}},
    "designs": {"grid": {"E": [2, 3], "h": [5]}}
  })json");
}

class StudyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::path(::testing::TempDir()) / ("study-" + std::string(info->name()) + "-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    write("model.txt", "# toy model\nE 1\nh 2\n");
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(folder_);
  }

  std::string path(const std::string& name) const { return (folder_ / name).string(); }
  std::string out() const { return path("out"); }

  void write(const std::string& name, const std::string& text) const {
    fs::create_directories((folder_ / name).parent_path());
    std::ofstream(folder_ / name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // Writes study.json and runs `portal-host study study.json --out out <arguments>`.
  HostRun study(const Json& json, const std::string& arguments = "") {
    write("study.json", json.dump(2));
    return portalHost("study " + path("study.json") + " --out " + out() + " " + arguments);
  }

  HostRun portalHost(const std::string& arguments) {
    const std::string command = "cd " + folder_.string() + " && " + PORTAL_HOST + " " + arguments + " > " +
                                path("stdout.txt") + " 2> " + path("stderr.txt");
    const int status = std::system(command.c_str());
    HostRun run;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = read("stdout.txt");
    run.err = read("stderr.txt");
    return run;
  }

  // Starts `portal-host study study.json --out out <arguments>` in a process
  // group of its own (as a terminal would), without waiting.
  pid_t startStudy(const std::vector<std::string>& arguments) {
    std::vector<std::string> words{PORTAL_HOST, "study", path("study.json"), "--out", out()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::setpgid(0, 0);
      std::vector<char*> argv;
      for (std::string& word : words) argv.push_back(word.data());
      argv.push_back(nullptr);
      const std::string log = path("background.txt");
      std::FILE* sink = std::freopen(log.c_str(), "a", stdout);
      if (sink != nullptr) ::dup2(::fileno(stdout), 2);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    ::setpgid(pid, pid);
    return pid;
  }
  // The exit status, or 128 + the signal.
  static int finish(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

  std::vector<Json> journal() const {
    std::vector<Json> lines;
    std::istringstream in(read("out/results.jsonl"));
    for (std::string line; std::getline(in, line);) lines.push_back(Json::parse(line));
    return lines;
  }
  // The journal's record of design `number` (not a line that notes its batch job).
  Json design(std::uint64_t number) const {
    for (const Json& line : journal()) {
      if (line["design"] == number && line.value("status", "") != "submitted") return line;
    }
    return Json();
  }

  std::vector<std::vector<std::string>> csv() const {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(read("out/results.csv"));
    for (std::string line; std::getline(in, line);) {
      std::vector<std::string> fields;
      std::istringstream cells(line);
      for (std::string cell; std::getline(cells, cell, ',');) fields.push_back(cell);
      if (!line.empty() && line.back() == ',') fields.emplace_back();
      rows.push_back(fields);
    }
    return rows;
  }

  fs::path folder_;
};

}  // namespace studytest

#endif
