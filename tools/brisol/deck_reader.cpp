#include "deck_reader.h"

#include <cctype>

namespace brisol {
namespace {

std::string_view trim(std::string_view text) {
  const char* const blanks = " \t\r\n";
  const auto first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

std::string lower(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// "MODULES static, modal": the word in any case, then a comma-separated list.
bool readModulesLine(std::string_view line, std::vector<std::string>& modules) {
  line = trim(line.substr(0, line.find('!')));
  const auto blank = line.find_first_of(" \t");
  if (lower(line.substr(0, blank)) != "modules") return false;
  modules.clear();
  std::string_view rest = blank == std::string_view::npos ? std::string_view() : line.substr(blank);
  while (!rest.empty()) {
    const auto comma = rest.find(',');
    const std::string_view entry = trim(rest.substr(0, comma));
    if (!entry.empty()) modules.push_back(lower(entry));
    if (comma == std::string_view::npos) break;
    rest = rest.substr(comma + 1);
  }
  return true;
}

}  // namespace

const Abbreviation* Deck::find(const std::string& name) const {
  for (auto it = abbreviations.rbegin(); it != abbreviations.rend(); ++it) {
    if (it->name == name) return &*it;
  }
  return nullptr;
}

bool isAbbreviationLine(std::string_view line) { return line.size() >= 4 && lower(line.substr(0, 4)) == "abre"; }

// The grammar is the one the portal writes: the command word up to the first
// blank, then, up to any '!', a name string "<d><m>NAME<d>" and a value text
// "<d>VALUE<d>" separated by a blank.
bool parseAbbreviation(std::string_view line, Abbreviation& abbreviation, std::string& why) {
  const auto blank = line.find(' ');
  if (blank == std::string_view::npos) {
    why = "no blank after the command word";
    return false;
  }
  const auto bang = line.find('!');
  std::string_view remainder;
  if (bang == std::string_view::npos) {
    remainder = line.substr(blank + 1);
  } else if (bang > blank) {
    remainder = line.substr(blank + 1, bang - blank - 1);
  }
  remainder = trim(remainder);
  const auto split = remainder.find(' ');
  if (split == std::string_view::npos) {
    why = "no blank between the name and the value";
    return false;
  }
  const std::string_view nameString = trim(remainder.substr(0, split));
  if (nameString.size() < 4) {
    why = "the name \"" + std::string(nameString) +
          "\" is shorter than 4 characters (delimiter, marker, name, delimiter)";
    return false;
  }
  const char delimiter = nameString[0];
  const char marker = nameString[1];
  const std::string_view name = nameString.substr(2, nameString.size() - 3);
  if (name.find(delimiter) != std::string_view::npos || name.find(marker) != std::string_view::npos) {
    why = "composed names such as \"" + std::string(nameString) + "\" are not supported";
    return false;
  }
  const std::string_view text = trim(remainder.substr(split + 1));
  if (text.size() < 2) {
    why = "the value \"" + std::string(text) + "\" has no delimiters";
    return false;
  }
  abbreviation.name = std::string(name);
  abbreviation.value = std::string(text.substr(1, text.size() - 2));
  return true;
}

Deck readDeck(std::istream& in) {
  Deck deck;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (isAbbreviationLine(line)) {
      Abbreviation abbreviation;
      std::string why;
      if (!parseAbbreviation(line, abbreviation, why)) {
        deck.warnings.push_back("line " + std::to_string(number) + ": abbreviation skipped: " + why);
        continue;
      }
      // Bounds and choices are the portal's set-up data, not the model's.
      const std::string lowerName = lower(abbreviation.name);
      if (startsWith(lowerName, "bounds_") || startsWith(lowerName, "choices_")) continue;
      abbreviation.line = number;
      deck.abbreviations.push_back(std::move(abbreviation));
      continue;
    }
    std::vector<std::string> modules;
    if (readModulesLine(line, modules)) {
      if (deck.hasModulesLine) {
        deck.warnings.push_back("line " + std::to_string(number) + ": a second MODULES line replaces the one on line " +
                                std::to_string(deck.modulesLine));
      }
      deck.hasModulesLine = true;
      deck.modulesLine = number;
      deck.modules = std::move(modules);
    }
  }
  return deck;
}

}  // namespace brisol
