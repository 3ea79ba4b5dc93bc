// portal-host params / responses: what a deck or a results file offers, as the
// host shows it to an engineer setting an analysis up.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>

#include "json_convert.h"
#include "portal_library.h"
#include "study_file.h"
#include "study_host.h"
#include "user_commands.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;

struct InspectOptions {
  std::string file;
  bool json = false;
  bool help = false;
  std::string portal = PortalLibrary::defaultPath();
  std::string modules = "static";
  std::string solver = "brisol";
};

InspectOptions parseInspect(const std::vector<std::string>& arguments, bool withSolver) {
  InspectOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= arguments.size()) throw StudyError(word + " needs a value");
      return arguments[++i];
    };
    if (word == "--help" || word == "-h") {
      options.help = true;
    } else if (word == "--json") {
      options.json = true;
    } else if (word == "--portal") {
      options.portal = fs::absolute(value()).string();
    } else if (withSolver && word == "--modules") {
      options.modules = value();
    } else if (withSolver && word == "--solver") {
      options.solver = value();
    } else if (!word.empty() && word[0] == '-') {
      throw StudyError("unknown option " + word);
    } else if (options.file.empty()) {
      options.file = fs::absolute(word).string();
    } else {
      throw StudyError("one file at a time");
    }
  }
  if (!options.help && options.file.empty()) throw StudyError("no file given (see --help)");
  return options;
}

std::string entry(const ORLIX::PortalItem& item, const std::string& key) {
  for (const auto& e : item.entries) {
    if (e.key == key) return e.value;
  }
  return std::string();
}

void printParameters(const ORLIX::PortalItemList& groups) {
  for (const ORLIX::PortalItem& group : groups) {
    std::cout << group.name << "\n";
    for (const ORLIX::PortalItem& p : group.children) {
      std::cout << "  " << p.name << " = " << entry(p, "value");
      if (!entry(p, "type").empty()) std::cout << "  (" << entry(p, "type") << ")";
      if (!entry(p, "min").empty() || !entry(p, "max").empty()) {
        std::cout << "  bounds [" << entry(p, "min") << ", " << entry(p, "max") << "]";
      }
      if (!entry(p, "choices").empty()) std::cout << "  choices {" << entry(p, "choices") << "}";
      if (!entry(p, "description").empty()) std::cout << "  ! " << entry(p, "description");
      std::cout << "\n";
    }
  }
}

void printTree(const ORLIX::PortalItem& item, int depth) {
  std::cout << std::string(static_cast<std::size_t>(depth) * 2, ' ') << item.name;
  if (!item.typeLabel.empty()) std::cout << "  [" << item.typeLabel << "]";
  for (const auto& e : item.entries) std::cout << "  " << e.key << "=" << e.value;
  std::cout << "\n";
  for (const ORLIX::PortalItem& child : item.children) printTree(child, depth + 1);
}

// Runs one discovery call on a fresh portal; prints what the portal said.
int inspect(const InspectOptions& options, bool parameters) {
  PortalLibrary library(options.portal);
  StudyHost host;
  host.workRoot = fs::path(options.file).parent_path().string();
  host.service.analysis["analysisPortalData"] = ORLIX::StringStringMap{
      {"Lines", "primaryOutput: " + fs::path(options.file).filename().string() + "\nmodules: " + options.modules}};
  host.service.analysis["AnalysisProperty#install"] = ORLIX::StringStringMap{{"install", options.solver}};
  std::unique_ptr<ORLIX::IExtension> extension(library.factory()(&host, "Brisol", nullptr));
  if (!extension) throw LibraryError(options.portal + ": portalFactory made no Brisol portal");
  auto* portal = static_cast<ORLIX::IPortal*>(extension->getInterface(ORLIX::kPortalInterfaceId));
  ORLIX::PortalItemList items;
  std::string message;
  const ORLIX::StringStringMap props{{"analysisName", "inspect"}};
  const bool ok = parameters ? portal->parseInputFile(options.file, props, items, message)
                             : portal->parseOutputFile(options.file, props, items, message);
  if (!message.empty()) std::cerr << message << "\n";
  for (const std::string& line : host.errors) std::cerr << line << "\n";
  if (options.json) {
    std::cout << itemsToJson(items).dump(2) << "\n";
  } else if (parameters) {
    printParameters(items);
  } else {
    for (const ORLIX::PortalItem& item : items) printTree(item, 0);
  }
  return ok ? 0 : 1;
}

}  // namespace

int paramsCommand(const std::vector<std::string>& arguments) {
  const InspectOptions options = parseInspect(arguments, false);
  if (options.help) {
    std::cout << "usage: portal-host params DECK [--json] [--portal LIBRARY]\n\n"
                 "Lists the parameters the deck's abbreviation commands offer, group by group,\n"
                 "with their values, bounds, choices and descriptions; warnings about lines\n"
                 "that could not be read go to standard error. --json prints the items as the\n"
                 "host receives them.\n";
    return 0;
  }
  return inspect(options, true);
}

int responsesCommand(const std::vector<std::string>& arguments) {
  const InspectOptions options = parseInspect(arguments, true);
  if (options.help) {
    std::cout << "usage: portal-host responses RESULTS [--json] [--modules LIST] [--solver PROGRAM]\n"
                 "                             [--portal LIBRARY]\n\n"
                 "Lists the responses a results database offers: each result with its\n"
                 "transformations, supports and choices, as the result catalogue gives them.\n"
                 "The solver's results module is run to list them (its answer is cached beside\n"
                 "the results). --modules names the analysis' solver modules (default static),\n"
                 "--solver the solver's launcher (default brisol, found on PATH).\n";
    return 0;
  }
  putOwnFolderFirstOnPath();
  return inspect(options, false);
}

}  // namespace portalhost
