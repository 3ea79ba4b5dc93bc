// A support's location code as a pattern. "Node %d" is what the result list
// offers; the portal sends "Node 12" back, so the code is matched word by word,
// each "%d" standing for one integer identifier of the kind named just before
// it. A code without "%d" ("NODES") names the whole support.
#ifndef TALLEX_LOCATION_PATTERN_H
#define TALLEX_LOCATION_PATTERN_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tallex {

// One identifier a location fixes: rows whose identifier in `column` equals `id`.
struct IdFilter {
  std::size_t column = 0;
  std::int64_t id = 0;
};

class LocationPattern {
 public:
  // `idKinds` are the identifier kinds of the result's rows ("Element", "Node").
  // A "%d" must follow a word that is one of them, each kind at most once, and
  // no other '%' may appear; otherwise false with the reason in `error`.
  bool parse(std::string_view code, const std::vector<std::string>& idKinds, std::string& error);

  // True when `location` reads as the pattern with every "%d" replaced by an
  // integer; `filters` then holds one entry per "%d", in order.
  bool match(std::string_view location, std::vector<IdFilter>& filters) const;

  // The code with its words separated by single blanks, so that two codes
  // differing only in spacing are seen as the same.
  std::string normalized() const;

 private:
  struct Piece {
    std::string word;        // literal word; empty for a placeholder
    std::size_t column = 0;  // placeholder: the identifier column it fixes
    bool placeholder = false;
  };
  std::vector<Piece> pieces_;
};

// Splits at runs of blanks and tabs.
std::vector<std::string_view> splitWords(std::string_view text);

}  // namespace tallex

#endif
