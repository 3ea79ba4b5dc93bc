#include "brisol/deck_tag_index.h"

namespace ORLIX {
namespace Portals {
namespace {

const String* abbreviationOf(const TagData& tag) {
  return tag.path.size() >= 2 ? &tag.path[1] : nullptr;
}

}  // namespace

DeckTagIndex::DeckTagIndex(const TagList& tags) : byAbbreviation_(tags.size()) {
  ViewTable names(tags.size());
  entries_.reserve(tags.size());
  for (const TagData& tag : tags) {
    const std::size_t name = names.emplace(tag.paramName, names.size()).first;
    const String* abbreviation = abbreviationOf(tag);
    const bool first = abbreviation && byAbbreviation_.emplace(*abbreviation, entries_.size()).second;
    entries_.push_back({&tag, name, first});
  }
  writtenCount_.assign(names.size(), 0);
}

const TagData* DeckTagIndex::find(const String& abbreviation) {
  std::size_t at = next_;
  if (at >= entries_.size() || !entries_[at].first ||
      *abbreviationOf(*entries_[at].tag) != abbreviation) {
    at = byAbbreviation_.find(abbreviation);
    if (at == ViewTable::npos) return nullptr;
  }
  next_ = at + 1;
  return entries_[at].tag;
}

void DeckTagIndex::written(const TagData* tag) {
  std::size_t at = next_ - 1;  // the tag is the last one found, as a rule
  if (next_ == 0 || entries_[at].tag != tag) {
    for (at = 0; at < entries_.size() && entries_[at].tag != tag; ++at) {
    }
    if (at == entries_.size()) return;  // not one of ours
  }
  ++writtenCount_[entries_[at].name];
}

// A name written k times leaves out its first k occurrences, as striking it
// from the list once per write would.
StringList DeckTagIndex::pending() const {
  std::vector<int> skip = writtenCount_;
  StringList names;
  for (const Entry& entry : entries_) {
    if (skip[entry.name] > 0) {
      --skip[entry.name];
    } else {
      names.push_back(entry.tag->paramName);
    }
  }
  return names;
}

}  // namespace Portals
}  // namespace ORLIX
