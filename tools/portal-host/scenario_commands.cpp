// portal-host replay / check: play a scenario against the portal library and
// print its transcript, or compare it with the expected one.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <utility>
#include <vector>

#include "host_files.h"
#include "portal_library.h"
#include "replay.h"
#include "scenario_schema.h"
#include "transcript_compare.h"
#include "user_commands.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;

Json loadScenario(const std::string& path) {
  const std::optional<std::string> text = readTextFile(path);
  if (!text) throw ScenarioError(path + ": cannot be read");
  Json scenario;
  try {
    scenario = Json::parse(*text);
  } catch (const Json::exception& error) {
    throw ScenarioError(path + ": not valid JSON: " + error.what());
  }
  validateScenario(scenario);
  return scenario;
}

void writeTranscript(const std::string& text, const std::string& out) {
  if (out.empty()) {
    std::cout << text << std::flush;
    return;
  }
  std::ofstream file(out, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) throw std::runtime_error("cannot write " + out);
}

std::string expectedPathFor(const std::string& scenarioPath) {
  const std::string suffix = ".json";
  if (scenarioPath.size() >= suffix.size() &&
      scenarioPath.compare(scenarioPath.size() - suffix.size(), suffix.size(), suffix) == 0) {
    return scenarioPath.substr(0, scenarioPath.size() - suffix.size()) + ".expected.json";
  }
  return scenarioPath + ".expected.json";
}

int compareWithExpected(const std::string& printedTranscript, const std::string& expectedPath) {
  const std::optional<std::string> text = readTextFile(expectedPath);
  if (!text) throw std::runtime_error("expected transcript " + expectedPath + " cannot be read");
  nlohmann::json expected;
  try {
    expected = nlohmann::json::parse(*text);
  } catch (const nlohmann::json::exception& error) {
    throw std::runtime_error("expected transcript " + expectedPath + " is not valid JSON: " + error.what());
  }
  // Compare what a replay would have printed, so both sides went through the same JSON text.
  const nlohmann::json actual = nlohmann::json::parse(printedTranscript);
  const std::vector<std::string> differences = compareTranscripts(expected, actual);
  if (differences.empty()) return kExitOk;
  std::cerr << "transcript differs from " << expectedPath << " (" << differences.size() << " difference"
            << (differences.size() == 1 ? "" : "s") << "):\n";
  constexpr std::size_t kShown = 50;
  for (std::size_t i = 0; i < differences.size() && i < kShown; ++i) std::cerr << "  " << differences[i] << "\n";
  if (differences.size() > kShown) std::cerr << "  ... and " << differences.size() - kShown << " more\n";
  return kExitFailed;
}

}  // namespace

int scenarioCommand(const ScenarioOptions& options) {
  // Every path given to us is read from the folder we were started in; the run
  // itself happens in the work folder.
  const auto absolute = [](const std::string& path) { return fs::absolute(path).lexically_normal().string(); };
  Json scenario = loadScenario(absolute(options.scenario));
  ReplayOptions replay;
  replay.portalPath = options.portal.empty() ? PortalLibrary::defaultPath() : absolute(options.portal);
  replay.keep = options.keep;
  const std::string out = options.out.empty() ? std::string() : absolute(options.out);
  const std::string expected =
      options.compare ? absolute(options.expected.empty() ? expectedPathFor(options.scenario) : options.expected) : "";

  const std::string text = replayScenario(std::move(scenario), replay);
  if (!options.compare) {
    writeTranscript(text, out);
    return kExitOk;
  }
  if (!out.empty()) writeTranscript(text, out);
  return compareWithExpected(text, expected);
}

}  // namespace portalhost
