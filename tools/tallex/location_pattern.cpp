#include "location_pattern.h"

#include <charconv>

namespace tallex {

std::vector<std::string_view> splitWords(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

bool LocationPattern::parse(std::string_view code, const std::vector<std::string>& idKinds, std::string& error) {
  pieces_.clear();
  std::vector<bool> kindUsed(idKinds.size(), false);
  const std::vector<std::string_view> words = splitWords(code);
  if (words.empty()) {
    error = "the location code is empty";
    return false;
  }
  for (std::size_t i = 0; i < words.size(); ++i) {
    Piece piece;
    if (words[i] == "%d") {
      std::size_t column = idKinds.size();
      if (i > 0 && !pieces_.back().placeholder) {
        for (std::size_t k = 0; k < idKinds.size(); ++k)
          if (idKinds[k] == pieces_.back().word) column = k;
      }
      if (column == idKinds.size()) {
        error = "\"%d\" in location \"" + std::string(code) + "\" does not follow an identifier kind of the result";
        return false;
      }
      if (kindUsed[column]) {
        error = "location \"" + std::string(code) + "\" fixes the " + idKinds[column] + " identifier twice";
        return false;
      }
      kindUsed[column] = true;
      piece.placeholder = true;
      piece.column = column;
    } else if (words[i].find('%') != std::string_view::npos) {
      error = "location \"" + std::string(code) + "\" holds a '%' that is not a \"%d\" placeholder";
      return false;
    } else {
      piece.word = std::string(words[i]);
    }
    pieces_.push_back(std::move(piece));
  }
  return true;
}

bool LocationPattern::match(std::string_view location, std::vector<IdFilter>& filters) const {
  filters.clear();
  const std::vector<std::string_view> words = splitWords(location);
  if (words.size() != pieces_.size()) return false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const Piece& piece = pieces_[i];
    if (!piece.placeholder) {
      if (words[i] != piece.word) return false;
      continue;
    }
    std::int64_t id = 0;
    const char* first = words[i].data();
    const char* last = first + words[i].size();
    const auto [end, status] = std::from_chars(first, last, id);
    if (status != std::errc() || end != last) return false;
    filters.push_back(IdFilter{piece.column, id});
  }
  return true;
}

std::string LocationPattern::normalized() const {
  std::string text;
  for (const Piece& piece : pieces_) {
    if (!text.empty()) text += ' ';
    text += piece.placeholder ? "%d" : piece.word;
  }
  return text;
}

}  // namespace tallex
