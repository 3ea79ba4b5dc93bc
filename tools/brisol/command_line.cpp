#include "command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "solver_run.h"

namespace brisol {
namespace {

bool isExecutableFile(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string selfExecutable() {
  std::string buffer(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  return length > 0 ? buffer.substr(0, static_cast<std::size_t>(length)) : std::string();
}

// tallex answers a refused or failed run in its answers file; when tallex
// itself is missing we do the same, so the portal finds a reason where it looks.
void answerStartFailure(const std::vector<std::string>& arguments, const std::string& why) {
  for (const std::string& argument : arguments) {
    if (argument.rfind("answers=", 0) == 0 && argument.size() > 8) {
      std::ofstream(argument.substr(8), std::ios::binary | std::ios::trunc) << "%%%E " << why << '\n';
      return;
    }
  }
}

// The results module is a program of its own; exec keeps its exit status the run's.
int runResultsModule(const std::vector<std::string>& arguments, std::ostream& err) {
  const char* path = std::getenv("PATH");
  const std::string tallex = findTallex(selfExecutable(), path ? path : "");
  if (tallex.empty()) {
    const std::string why = "Unable to start the results module: no tallex program beside brisol or on the PATH";
    answerStartFailure(arguments, why);
    err << "brisol: " << why << '\n';
    return 1;
  }
  std::vector<std::string> line = arguments;
  line.insert(line.begin(), tallex);
  std::vector<char*> argv;
  for (std::string& argument : line) argv.push_back(argument.data());
  argv.push_back(nullptr);
  err.flush();
  ::execv(tallex.c_str(), argv.data());
  const std::string why = "Unable to start the results module \"" + tallex + "\": " + std::strerror(errno);
  answerStartFailure(arguments, why);
  err << "brisol: " << why << '\n';
  return 1;
}

}  // namespace

const char* const kUsage =
    "usage: brisol DECK\n"
    "       brisol sr RESULTS n 1 lcp=MODULE request=FILE answers=FILE zone=ZONE\n"
    "       brisol --help\n"
    "\n"
    "brisol DECK solves the cantilever the deck's abbreviations describe and writes,\n"
    "beside the deck (B = its base name), B.log, the results database B.sdb and\n"
    "B_<module>.des / .fac for each module. brisol sr runs the results module,\n"
    "tallex, with the same arguments. BRISOL_STANDIN_DELAY=SECONDS waits that long\n"
    "before each module finishes. See tools/brisol/README.md.\n";

std::string findTallex(const std::string& selfPath, const std::string& searchPath) {
  const auto slash = selfPath.rfind('/');
  if (slash != std::string::npos) {
    const std::string beside = selfPath.substr(0, slash + 1) + "tallex";
    if (isExecutableFile(beside)) return beside;
  }
  if (searchPath.empty()) return {};
  std::size_t start = 0;
  for (;;) {
    const auto colon = searchPath.find(':', start);
    std::string folder = searchPath.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
    if (folder.empty()) folder = ".";
    const std::string candidate = folder + "/tallex";
    if (isExecutableFile(candidate)) return candidate;
    if (colon == std::string::npos) return {};
    start = colon + 1;
  }
}

int runBrisol(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    out << kUsage;
    return 0;
  }
  if (!arguments.empty() && arguments[0] == "sr") return runResultsModule(arguments, err);
  std::string why;
  if (arguments.empty()) {
    why = "no deck given";
  } else if (arguments.size() > 1) {
    why = "expected one deck, found " + std::to_string(arguments.size()) + " arguments";
  } else if (arguments[0].empty()) {
    why = "the deck name is empty";
  } else if (arguments[0][0] == '-') {
    why = "unknown option \"" + arguments[0] + "\"";
  }
  if (!why.empty()) {
    err << "brisol: " << why << '\n' << kUsage;
    return 2;
  }
  RunOptions options;
  options.delay = std::getenv("BRISOL_STANDIN_DELAY");
  return runDeck(arguments[0], options, err);
}

}  // namespace brisol
