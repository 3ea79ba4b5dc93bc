// portal-host: loads the portal library as the real host does and plays a
// scenario against it (replay), or plays it and compares the transcript with
// the expected one (check).
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host_files.h"
#include "portal_library.h"
#include "replay.h"
#include "scenario_schema.h"
#include "transcript_compare.h"
#include "study_file.h"
#include "user_commands.h"

namespace {

using portalhost::Json;

constexpr int kExitMismatch = 1;
constexpr int kExitInvalid = 2;
constexpr int kExitLibrary = 3;

const char* const kUsage =
    "usage: portal-host replay SCENARIO.json [--portal LIBRARY] [--keep] [--out FILE]\n"
    "       portal-host check SCENARIO.json [EXPECTED.json] [--portal LIBRARY] [--keep] [--out FILE]\n"
    "       portal-host study STUDY.json [--jobs N] [--poll SECONDS] [--out FOLDER]\n"
    "       portal-host params DECK [--json]\n"
    "       portal-host responses RESULTS [--json] [--modules LIST] [--solver PROGRAM]\n"
    "\n"
    "replay  plays the scenario against the portal library and prints the transcript\n"
    "        (JSON) on standard output.\n"
    "check   plays the scenario and compares the transcript with EXPECTED.json\n"
    "        (default: SCENARIO with .json replaced by .expected.json).\n"
    "\n"
    "(each of study, params and responses explains itself with --help)\n"
    "\n"
    "  --portal LIBRARY  the portal library to load (default: libbrisolportal.so\n"
    "                    beside portal-host)\n"
    "  --keep            keep the work folder and print its path on standard error\n"
    "  --out FILE        write the transcript to FILE instead of standard output\n"
    "\n"
    "study      runs every design of a study through the portal (see study --help)\n"
    "params     lists the parameters a deck offers\n"
    "responses  lists the responses a results database offers\n"
    "\n"
    "exit status: 0 the scenario ran to its end (check: and matched), 1 check found\n"
    "differences, 2 invalid scenario or usage, 3 the library cannot be loaded or has\n"
    "no portalFactory.\n";

struct CommandLine {
  std::string command;
  std::vector<std::string> files;
  std::optional<std::string> portal;
  std::optional<std::string> out;
  bool keep = false;
  bool help = false;
};

// Throws std::invalid_argument with a one-line reason.
CommandLine parseCommandLine(int argc, char** argv) {
  CommandLine line;
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    const auto valueOf = [&](const std::string& option) -> std::string {
      if (word.size() > option.size() && word.compare(0, option.size() + 1, option + "=") == 0) {
        return word.substr(option.size() + 1);
      }
      if (i + 1 >= argc) throw std::invalid_argument(option + " needs a value");
      return argv[++i];
    };
    if (word == "--help" || word == "-h" || (word == "help" && line.command.empty())) {
      line.help = true;
    } else if (word == "--keep") {
      line.keep = true;
    } else if (word == "--portal" || word.rfind("--portal=", 0) == 0) {
      line.portal = valueOf("--portal");
    } else if (word == "--out" || word.rfind("--out=", 0) == 0) {
      line.out = valueOf("--out");
    } else if (word.size() > 1 && word[0] == '-') {
      throw std::invalid_argument("unknown option " + word);
    } else if (line.command.empty()) {
      line.command = word;
    } else {
      line.files.push_back(word);
    }
  }
  if (line.help) return line;
  if (line.command != "replay" && line.command != "check") {
    throw std::invalid_argument(line.command.empty() ? "no command given" : "unknown command " + line.command);
  }
  const std::size_t most = line.command == "check" ? 2 : 1;
  if (line.files.empty() || line.files.size() > most) throw std::invalid_argument("wrong number of files");
  return line;
}

std::optional<std::string> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Json loadScenario(const std::string& path) {
  const std::optional<std::string> text = readWholeFile(path);
  if (!text) throw portalhost::ScenarioError(path + ": cannot be read");
  Json scenario;
  try {
    scenario = Json::parse(*text);
  } catch (const Json::parse_error& error) {
    throw portalhost::ScenarioError(path + ": not valid JSON: " + error.what());
  }
  portalhost::validateScenario(scenario);
  return scenario;
}

std::string printed(const Json& transcript) {
  return transcript.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

void writeTranscript(const std::string& text, const std::optional<std::string>& out) {
  if (!out) {
    std::cout << text << std::flush;
    return;
  }
  std::ofstream file(*out, std::ios::binary | std::ios::trunc);
  file << text;
  file.close();
  if (!file) throw std::runtime_error("cannot write " + *out);
}

std::string expectedPathFor(const std::string& scenarioPath) {
  const std::string suffix = ".json";
  if (scenarioPath.size() >= suffix.size() &&
      scenarioPath.compare(scenarioPath.size() - suffix.size(), suffix.size(), suffix) == 0) {
    return scenarioPath.substr(0, scenarioPath.size() - suffix.size()) + ".expected.json";
  }
  return scenarioPath + ".expected.json";
}

int checkTranscript(const std::string& printedTranscript, const std::string& expectedPath) {
  const std::optional<std::string> text = readWholeFile(expectedPath);
  if (!text) throw std::runtime_error("expected transcript " + expectedPath + " cannot be read");
  nlohmann::json expected;
  try {
    expected = nlohmann::json::parse(*text);
  } catch (const nlohmann::json::parse_error& error) {
    throw std::runtime_error("expected transcript " + expectedPath + " is not valid JSON: " + error.what());
  }
  // Compare what a replay would have printed, so both sides went through the same JSON text.
  const nlohmann::json actual = nlohmann::json::parse(printedTranscript);
  const std::vector<std::string> differences = portalhost::compareTranscripts(expected, actual);
  if (differences.empty()) return 0;
  std::cerr << "transcript differs from " << expectedPath << " (" << differences.size() << " difference"
            << (differences.size() == 1 ? "" : "s") << "):\n";
  constexpr std::size_t kShown = 50;
  for (std::size_t i = 0; i < differences.size() && i < kShown; ++i) std::cerr << "  " << differences[i] << "\n";
  if (differences.size() > kShown) std::cerr << "  ... and " << differences.size() - kShown << " more\n";
  return kExitMismatch;
}

int run(const CommandLine& line) {
  namespace fs = std::filesystem;
  // Every path given to us is read from the folder we were started in; the run
  // itself happens in the work folder.
  const auto absolute = [](const std::string& path) { return fs::absolute(path).lexically_normal().string(); };
  const std::string scenarioPath = absolute(line.files[0]);
  const Json scenario = loadScenario(scenarioPath);

  portalhost::ReplayOptions options;
  options.portalPath = line.portal ? absolute(*line.portal) : portalhost::PortalLibrary::defaultPath();
  options.keep = line.keep;
  const std::optional<std::string> out = line.out ? std::optional<std::string>(absolute(*line.out)) : std::nullopt;
  std::string expectedPath;
  if (line.command == "check") {
    expectedPath = absolute(line.files.size() > 1 ? line.files[1] : expectedPathFor(line.files[0]));
  }

  const std::string text = printed(portalhost::replayScenario(scenario, options));
  if (line.command == "replay") {
    writeTranscript(text, out);
    return 0;
  }
  if (out) writeTranscript(text, out);
  return checkTranscript(text, expectedPath);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "study" || command == "params" || command == "responses") {
    const std::vector<std::string> arguments(argv + 2, argv + argc);
    try {
      if (command == "study") return portalhost::studyCommand(arguments);
      if (command == "params") return portalhost::paramsCommand(arguments);
      return portalhost::responsesCommand(arguments);
    } catch (const portalhost::StudyError& error) {
      std::cerr << "portal-host " << command << ": " << error.what() << "\n";
      return kExitInvalid;
    } catch (const portalhost::LibraryError& error) {
      std::cerr << "portal-host: " << error.what() << "\n";
      return kExitLibrary;
    } catch (const std::exception& error) {
      std::cerr << "portal-host " << command << ": " << error.what() << "\n";
      return 1;
    }
  }
  CommandLine line;
  try {
    line = parseCommandLine(argc, argv);
  } catch (const std::invalid_argument& error) {
    std::cerr << "portal-host: " << error.what() << "\n\n" << kUsage;
    return kExitInvalid;
  }
  if (line.help) {
    std::cout << kUsage;
    return 0;
  }
  try {
    return run(line);
  } catch (const portalhost::ScenarioError& error) {
    std::cerr << "scenario error: " << error.what() << "\n";
  } catch (const portalhost::LibraryError& error) {
    std::cerr << "portal-host: " << error.what() << "\n";
    return kExitLibrary;
  } catch (const nlohmann::json::exception& error) {
    std::cerr << "scenario error: " << error.what() << "\n";
  } catch (const std::exception& error) {
    std::cerr << "portal-host: " << error.what() << "\n";
  }
  return kExitInvalid;
}
