#include "command_line.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "cli_support.h"
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

const char* const kFooter =
    "brisol DECK writes, beside the deck (B = its base name), B.log, the results\n"
    "database B.sdb and B_<module>.des / .fac for each module, and exits 0 when every\n"
    "module finished, 1 when the run failed (the log says why). A deck named \"sr\" is\n"
    "solved with \"brisol -- sr\". BRISOL_STANDIN_DELAY=SECONDS waits that long before\n"
    "each module finishes. See tools/brisol/README.md.";

}  // namespace

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
  CLI::App app("brisol: the solver stand-in. Solves the cantilever a deck describes, or runs the results module.",
               "brisol");
  toolcli::addVersionFlag(app, "brisol");
  std::string deck;
  CLI::Option* deckOption =
      app.add_option("DECK", deck, "The deck to solve; one whose name begins with '-' comes after \"--\"")
          ->type_name("")
          ->check([](const std::string& name) { return name.empty() ? std::string("the deck name is empty") : ""; });
  CLI::App* resultsModule =
      app.add_subcommand("sr", "The results module: hands the whole line, sr included, to tallex (see tallex --help)");
  // A line is either a deck or the results module, never both; a required
  // DECK would be demanded of "brisol sr" too, so the callback asks for it.
  resultsModule->excludes(deckOption);
  app.callback([&] {
    if (!resultsModule->parsed() && deckOption->count() == 0) throw CLI::RequiredError(deckOption->get_name());
  });
  app.footer(kFooter);

  // What follows "sr" is tallex's, to pass on untouched; CLI11 would take a
  // "--", "++" or "sr" among those words for its own.
  const bool handOver = !arguments.empty() && arguments[0] == "sr";
  std::vector<const char*> argv = {"brisol"};
  for (std::size_t i = 0; i < (handOver ? 1 : arguments.size()); ++i) argv.push_back(arguments[i].c_str());
  if (auto status = toolcli::parse(app, static_cast<int>(argv.size()), argv.data(), out, err)) return *status;

  if (resultsModule->parsed()) return runResultsModule(arguments, err);
  RunOptions options;
  options.delay = std::getenv("BRISOL_STANDIN_DELAY");
  return runDeck(deck, options, err);
}

}  // namespace brisol
