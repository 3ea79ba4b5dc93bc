#include "study/key_check.h"

#include <algorithm>
#include <cctype>

namespace portalhost {
namespace {

// Levenshtein distance in half steps: a substitution that only changes letter
// case costs 1, every other edit 2.
std::size_t distance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = 2 * j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = 2 * i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const unsigned char x = static_cast<unsigned char>(a[i - 1]), y = static_cast<unsigned char>(b[j - 1]);
      const std::size_t change = x == y ? 0 : (std::tolower(x) == std::tolower(y) ? 1 : 2);
      const std::size_t next = std::min({row[j] + 2, row[j - 1] + 2, diagonal + change});
      diagonal = row[j];
      row[j] = next;
    }
  }
  return row[b.size()];
}

}  // namespace

std::string closestKey(const std::string& word, const std::vector<std::string>& known) {
  std::string best;
  std::size_t bestDistance = SIZE_MAX;
  for (const std::string& key : known) {
    const std::size_t d = distance(word, key);
    if (d < bestDistance) {
      bestDistance = d;
      best = key;
    }
  }
  return best;
}

std::vector<std::string> unknownKeys(const Json& object, const std::vector<std::string>& known,
                                     const std::string& where) {
  std::vector<std::string> problems;
  if (!object.is_object()) return problems;
  for (const auto& item : object.items()) {
    if (std::find(known.begin(), known.end(), item.key()) != known.end()) continue;
    std::string text = (where.empty() ? "" : where + ".") + item.key() + ": unknown key";
    const std::string nearest = closestKey(item.key(), known);
    if (!nearest.empty()) text += " (did you mean \"" + nearest + "\"?)";
    problems.push_back(text);
  }
  return problems;
}

}  // namespace portalhost
