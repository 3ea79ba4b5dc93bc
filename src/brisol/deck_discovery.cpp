// Parameter discovery in a Brisol deck: one group of parameters per family of
// abbreviation commands, each with its value, description, type, and the bounds
// or choices that "bounds_" and "choices_" abbreviations give it. The deck is
// streamed line by line, so its size does not matter.
#include <utility>
#include <vector>

#include "brisol/brisol_portal.h"
#include "brisol/deck_command.h"
#include "portal/chunked_lines.h"
#include "portal/edge_guard.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/text.h"

using ORLIX::PortalItem;
using ORLIX::PortalItemList;
using ORLIX::String;
using ORLIX::StringList;
using ORLIX::StringStringMap;
using namespace ORLIX::Portals;

namespace {

constexpr std::int32_t kParameterFlags = 512;
enum Group { kAbre, kAbrem, kAbrebos, kGroupCount };
const char* const kGroupNames[kGroupCount] = {"ABRE", "ABREM[...]", "ABREBOS"};

int groupOf(const String& lowerWord) {
  if (lowerWord == "abre") return kAbre;
  if (lowerWord == "abrebos") return kAbrebos;
  if (startsWith(lowerWord, "abrem")) return kAbrem;
  return -1;
}

String entryValue(const PortalItem& item, const String& key) {
  for (const auto& entry : item.entries) {
    if (entry.key == key) return entry.value;
  }
  return String();
}

void setEntryValue(PortalItem& item, const String& key, const String& value) {
  for (auto& entry : item.entries) {
    if (entry.key == key) {
      entry.value = value;
      return;
    }
  }
}

bool isDiscrete(const PortalItem& item) { return toLower(entryValue(item, "type")) == "discrete"; }

// A target that ends in '*' or '?' matches every name that begins with the rest.
bool targetMatches(const String& target, const String& name) {
  if (!target.empty() && (target.back() == '*' || target.back() == '?')) {
    return startsWith(name, target.substr(0, target.size() - 1));
  }
  return name == target;
}

struct RangeLine {
  String name;
  String value;
};

void applyBounds(const RangeLine& line, PortalItem (&groups)[kGroupCount], String& error) {
  const String target = line.name.substr(7);
  const StringList pieces = splitAt(line.value, ' ');
  if (pieces.size() < 2) {
    appendWarning(error,
                  "Unable to process the line that defines bounds: %1. Expecting the value to "
                  "contain two numbers delimited by a space.",
                  line.name);
    return;
  }
  for (int g = 0; g < kGroupCount; ++g) {
    for (PortalItem& parameter : groups[g].children) {
      if (!targetMatches(target, parameter.name)) continue;
      if (g == kAbrem && isDiscrete(parameter)) continue;
      parameter.addEntry("min", pieces[0]);
      parameter.addEntry("max", pieces[1]);
    }
  }
}

void applyChoices(const RangeLine& line, PortalItem& abrem, String& error) {
  const String target = line.name.substr(8);
  const StringList pieces = splitAt(line.value, ' ');
  if (pieces.size() < 2) {
    appendWarning(error,
                  "Unable to process the line that defines choices: %1. Expecting the value to "
                  "contain at least two numbers delimited by a space.",
                  line.name);
    return;
  }
  for (PortalItem& parameter : abrem.children) {
    if (!targetMatches(target, parameter.name) || !isDiscrete(parameter)) continue;
    parameter.addEntry("choices", join(pieces, ","));
    const String current = entryValue(parameter, "value");
    String position = "0";
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      if (pieces[i] == current) {
        position = numberText(static_cast<double>(i + 1));
        break;
      }
    }
    setEntryValue(parameter, "value", position);
  }
}

}  // namespace

bool brisolPortal::parseInputFile(const String& inputPath, const StringStringMap&,
                                  PortalItemList& items, String& error) {
  return guarded(error, false, [&] { return discoverDeck(inputPath, items, error); });
}

bool brisolPortal::discoverDeck(const String& deckPath, PortalItemList& items, String& error) {
  ChunkedLineReader deck(deckPath);
  if (!deck.isOpen()) {
    appendError(error, "Parsing of input file failed. Unable to open %1", deckPath);
    return false;
  }
  PortalItem groups[kGroupCount] = {PortalItem(kGroupNames[kAbre], "Parameter", 0),
                                    PortalItem(kGroupNames[kAbrem], "Parameter", 0),
                                    PortalItem(kGroupNames[kAbrebos], "Parameter", 0)};
  std::vector<RangeLine> bounds, choices;
  std::string_view line;
  int lineNumber = 0;
  while (deck.next(line)) {
    ++lineNumber;
    if (!isAbbreviationLine(line)) continue;
    DeckCommand command;
    if (!parseDeckCommand(String(line), lineNumber, command, error)) continue;
    const String lowerName = toLower(command.name);
    if (startsWith(lowerName, "bounds_")) {
      bounds.push_back(RangeLine{command.name, command.value});
      continue;
    }
    if (startsWith(lowerName, "choices_")) {
      choices.push_back(RangeLine{command.name, command.value});
      continue;
    }
    const String lowerWord = toLower(command.word);
    const int group = groupOf(lowerWord);
    if (group < 0) continue;
    PortalItem parameter(command.name, String(), kParameterFlags);
    parameter.addEntry("value", command.value);
    parameter.addEntry("description", command.comment);
    if (lowerWord == "abremcon") parameter.addEntry("type", "Continuous");
    if (lowerWord == "abremdis") parameter.addEntry("type", "discrete");
    groups[group].children.push_back(std::move(parameter));
  }
  for (const RangeLine& line : bounds) applyBounds(line, groups, error);
  for (const RangeLine& line : choices) applyChoices(line, groups[kAbrem], error);
  for (PortalItem& group : groups) {
    if (!group.children.empty()) items.push_back(std::move(group));
  }
  return true;
}
