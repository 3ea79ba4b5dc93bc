// The tags of one deck update, looked up by abbreviation for every command
// line of the deck, and the parameters whose command has not been met yet.
// A deck may carry a hundred thousand tagged commands: both questions are
// answered without a search over the tags, and since decks mostly list their
// commands in the tag file's order, the tag after the last one found is tried
// before the hash table.
#ifndef ORLIX_BRISOL_DECK_TAG_INDEX_H
#define ORLIX_BRISOL_DECK_TAG_INDEX_H

#include <cstddef>
#include <vector>

#include "brisol/view_table.h"
#include "portal/host/host_types.h"
#include "xmlportal/tag_data.h"

namespace ORLIX {
namespace Portals {

class DeckTagIndex {
 public:
  explicit DeckTagIndex(const TagList& tags);
  // The first tag naming `abbreviation`, or nullptr.
  const TagData* find(const String& abbreviation);
  // `tag` (one find() answered) is written: its parameter name is struck out
  // once, at its earliest occurrence still pending.
  void written(const TagData* tag);
  // The tags' parameter names not yet written, in the tag file's order.
  StringList pending() const;

 private:
  struct Entry {
    const TagData* tag;
    std::size_t name;  // the same number for every tag of one parameter name
    bool first;        // the first tag of its abbreviation
  };
  std::vector<Entry> entries_;
  // Entry positions by abbreviation. Keys view the tags' own strings: the tags
  // outlive the index, and a copy of each key cost as much as the rest of
  // building it.
  ViewTable byAbbreviation_;
  std::vector<int> writtenCount_;  // by name number
  std::size_t next_ = 0;           // the entry after the last one found
};

}  // namespace Portals
}  // namespace ORLIX

#endif
