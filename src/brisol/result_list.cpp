#include "brisol/result_list.h"

#include <algorithm>
#include <utility>

#include "portal/message_buffer.h"
#include "portal/text.h"

namespace ORLIX {
namespace Portals {
namespace {

constexpr std::int32_t kTransformationFlags = 32;
constexpr std::int32_t kSupportFlags = 12304;
constexpr std::int32_t kSupportWithoutTransformationFlags = 12288;
constexpr std::int32_t kChoiceListFlags = 260;
constexpr std::int32_t kPortalDataFlags = 256;

PortalItem portalData(std::initializer_list<std::pair<const char*, String>> entries) {
  PortalItem item("Portal Data", String(), kPortalDataFlags);
  for (const auto& entry : entries) item.addEntry(entry.first, entry.second);
  return item;
}

bool fieldsOrError(const String& line, String (&fields)[4], String& error) {
  if (resultFields(line, fields)) return true;
  appendError(error, "The following line does not contain enough entries:\n\t%1", line);
  return false;
}

// The definition block `reference` names, checked to be of the expected kind.
const ResultBlock* definition(const ResultList& list, const String& reference,
                              const String& requestedBy, String& error) {
  const ResultBlock* block = list.find(reference);
  if (!block) {
    appendError(error, "Could not find definition of \"%1\" while processing \"%2\".", reference,
                requestedBy);
  }
  return block;
}

bool headerIs(const ResultBlock& block, const char* keyword, const char* what, String& error) {
  if (startsWith(trim(block.header), keyword)) return true;
  appendError(error,
              String("Expecting ") + what + " keyword to start with \"" + keyword +
                  "\". Found %1.",
              block.header);
  return false;
}

bool choiceList(const ResultBlock& block, const String& name, PortalItem& list, String& error) {
  list = PortalItem(name, String(), kChoiceListFlags);
  for (const String& line : block.lines) {
    String fields[4];
    if (!fieldsOrError(line, fields, error)) return false;
    list.addEntry(replaceAll(replaceAll(fields[1], "[", "("), "]", ")"), fields[0]);
  }
  return true;
}

bool transformations(const ResultBlock& block, std::vector<PortalItem>& items, String& error) {
  for (const String& line : block.lines) {
    String fields[4];
    if (!fieldsOrError(line, fields, error)) return false;
    PortalItem item(fields[1], "Location", kTransformationFlags);
    item.children.push_back(portalData({{"transformation", fields[0]}}));
    items.push_back(std::move(item));
  }
  return true;
}

bool supports(const ResultList& list, const ResultBlock& block, bool withTransformation,
              std::vector<PortalItem>& items, String& error) {
  String firstLocation;
  bool first = true;
  for (const String& line : block.lines) {
    String fields[4];
    if (!fieldsOrError(line, fields, error)) return false;
    const bool makesItem = fields[0] != "Distance to %d %d";
    if (first && makesItem) firstLocation = fields[0];
    first = false;
    if (!makesItem) continue;
    PortalItem item(fields[1], String(),
                    withTransformation ? kSupportFlags : kSupportWithoutTransformationFlags);
    const std::pair<const String*, const char*> choices[] = {{&fields[2], ".SELECTION"},
                                                             {&fields[3], ".REFERENCES"}};
    const char* const names[] = {"#$Selection", "#$Reference"};
    for (int c = 0; c < 2; ++c) {
      const String& reference = *choices[c].first;
      if (reference.empty() || !startsWith(reference, choices[c].second)) continue;
      const ResultBlock* choiceBlock = definition(list, reference, block.header, error);
      PortalItem choice;
      if (!choiceBlock || !choiceList(*choiceBlock, names[c], choice, error)) return false;
      item.children.push_back(std::move(choice));
    }
    item.children.push_back(portalData({{"location", fields[0]}, {"firstLocation", firstLocation}}));
    items.push_back(std::move(item));
  }
  return true;
}

}  // namespace

const ResultBlock* ResultList::find(const String& reference) const {
  for (const ResultBlock& block : blocks) {
    if (startsWith(block.header, reference)) return &block;
  }
  return nullptr;
}

bool resultFields(const String& line, String (&fields)[4]) {
  StringList pieces;
  String::size_type start = 0;
  for (;;) {
    const auto quote = line.find('"', start);
    pieces.push_back(trim(line.substr(start, quote == String::npos ? String::npos : quote - start)));
    if (quote == String::npos) break;
    start = quote + 1;
  }
  if (pieces.size() < 8) return false;
  for (int i = 0; i < 4; ++i) fields[i] = pieces[1 + 2 * i];
  return true;
}

ResultList readResultList(std::string_view text) {
  ResultList list;
  ResultBlock current;
  bool open = false;
  auto close = [&] {
    if (!open) return;
    if (startsWith(current.header, ".MAIN")) {
      list.main = std::move(current);
    } else if (!startsWith(current.header, ".INFO")) {
      list.blocks.push_back(std::move(current));
    }
    open = false;
  };
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t feed = std::min(text.find('\n', start), text.size());
    std::string_view line = text.substr(start, feed - start);
    start = feed + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] == '!') continue;
    if (line[0] == '.') {
      close();
      current = ResultBlock{String(line), {}};
      open = true;
    } else if (open) {
      current.lines.emplace_back(line);
    }
  }
  close();
  return list;
}

bool buildResultItems(const ResultList& list, PortalItemList& items, String& error) {
  if (list.main.lines.empty()) {
    appendError(error, "The Tallex output file has an unrecognized format. The '.MAIN' keyword "
                       "is empty.");
    return false;
  }
  for (const String& line : list.main.lines) {
    String fields[4];
    if (!fieldsOrError(line, fields, error)) return false;
    std::vector<PortalItem> transformationItems, supportItems;
    if (startsWith(fields[2], ".TOSCALAR")) {
      const ResultBlock* block = definition(list, fields[2], list.main.header, error);
      if (!block || !headerIs(*block, ".TOSCALAR", "transformation", error) ||
          !transformations(*block, transformationItems, error)) {
        return false;
      }
    }
    if (startsWith(fields[3], ".SUPPORT")) {
      const ResultBlock* block = definition(list, fields[3], list.main.header, error);
      if (!block || !headerIs(*block, ".SUPPORT", "support", error) ||
          !supports(list, *block, !fields[2].empty(), supportItems, error)) {
        return false;
      }
    }
    PortalItem result(fields[1], fields[2].empty() ? "Location" : "Transformation", 0);
    for (auto& item : transformationItems) result.children.push_back(std::move(item));
    for (auto& item : supportItems) result.children.push_back(std::move(item));
    result.children.push_back(portalData({{"nature", fields[0]}}));
    items.push_back(std::move(result));
  }
  return true;
}

}  // namespace Portals
}  // namespace ORLIX
