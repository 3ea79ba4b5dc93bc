// portal-host params / responses: what a deck or a results file offers, as the
// host shows it to an engineer setting an analysis up; with --tags, what a
// tag file writes into an input file or reads out of an output file.
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "json_convert.h"
#include "study/study_model.h"
#include "discovery_session.h"
#include "user_commands.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;

std::string entry(const ORLIX::PortalItem& item, const std::string& key) {
  for (const auto& e : item.entries) {
    if (e.key == key) return e.value;
  }
  return std::string();
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  for (;;) {
    const auto end = text.find(separator, start);
    pieces.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return pieces;
    start = end + 1;
  }
}

// A discrete parameter's value is its position among its choices (from 1;
// 0 when it is none of them): show the value itself.
std::string shownValue(const ORLIX::PortalItem& p) {
  const std::string value = entry(p, "value");
  const std::string choices = entry(p, "choices");
  if (choices.empty()) return value;
  const std::vector<std::string> pieces = split(choices, ',');
  const long position = std::strtol(value.c_str(), nullptr, 10);
  if (position >= 1 && static_cast<std::size_t>(position) <= pieces.size()) return pieces[position - 1];
  return "(none of its choices)";
}

void printParameters(const ORLIX::PortalItemList& groups) {
  for (const ORLIX::PortalItem& group : groups) {
    std::cout << group.name << "\n";
    for (const ORLIX::PortalItem& p : group.children) {
      std::cout << "  " << p.name << " = " << shownValue(p);
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
int discover(const DiscoveryOptions& options, bool parameters) {
  const std::string file = existingFile(options.file, parameters ? "the deck" : "the results file");
  DiscoverySession session(options, file);
  ORLIX::PortalItemList items;
  std::string message;
  const ORLIX::StringStringMap props{{"analysisName", "inspect"}};
  const bool ok = parameters ? session.portal().parseInputFile(file, props, items, message)
                             : session.portal().parseOutputFile(file, props, items, message);
  if (!message.empty()) std::cerr << message << "\n";
  for (const std::string& line : session.host().problems) std::cerr << line << "\n";
  if (options.json) {
    std::cout << itemsToJson(items).dump(2) << "\n";
  } else if (parameters) {
    printParameters(items);
  } else {
    for (const ORLIX::PortalItem& item : items) printTree(item, 0);
  }
  return ok ? kExitOk : kExitFailed;
}

}  // namespace

int paramsCommand(const DiscoveryOptions& options) {
  return options.tags.empty() ? discover(options, true) : taggedParameters(options);
}

int responsesCommand(const DiscoveryOptions& options) {
  appendOwnFolderToPath();
  return options.tags.empty() ? discover(options, false) : taggedResponses(options);
}

}  // namespace portalhost
