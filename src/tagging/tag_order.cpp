// The order in which line-by-line engines meet a file's tags.
#include <algorithm>
#include <utility>
#include <vector>

#include "portal/properties.h"
#include "tagging/tagging_impl.h"

namespace ORLIX {
namespace Portals {

namespace {

bool precedes(const String& rowA, const String& colA, const String& rowB, const String& colB) {
  if (rowA != rowB) return rowA < rowB;
  return colA < colB;
}

// Each tag with its row and column texts, looked up once rather than at every
// comparison, in tagOrder; stable, as TagList::sort(tagOrder) would be.
template <class Tags>
struct OrderedTags {
  using Iterator = decltype(std::declval<Tags&>().begin());
  struct Entry {
    const String* row;
    const String* col;
    Iterator tag;
  };
  std::vector<Entry> entries;

  explicit OrderedTags(Tags& tags) {
    entries.reserve(tags.size());
    for (auto tag = tags.begin(); tag != tags.end(); ++tag) {
      entries.push_back(Entry{&tag->get("row"), &tag->get("col"), tag});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
      return precedes(*a.row, *a.col, *b.row, *b.col);
    });
  }
};

}  // namespace

bool TaggingImpl::tagOrder(const TagData& a, const TagData& b) {
  return precedes(a.get("row"), a.get("col"), b.get("row"), b.get("col"));
}

void TaggingImpl::sortTags(TagList& tags) {
  const OrderedTags<TagList> ordered(tags);
  // Splicing moves list nodes, not tags: the keys looked up stay valid.
  TagList sorted;
  for (const auto& entry : ordered.entries) sorted.splice(sorted.end(), tags, entry.tag);
  tags.swap(sorted);
}

// The text order can separate tags of one numeric row ("09" sorts before "10",
// "9" after it). Such tags join the row's one list, in the order met, rather
// than a later group replacing an earlier one: no tag is ever lost.
TaggingImpl::TagRows TaggingImpl::groupTagsByRow(const TagList& sorted) {
  return groupTagsByRow(TagList(sorted));
}

TaggingImpl::TagRows TaggingImpl::groupTagsByRow(TagList&& sorted) {
  TagRows rows;
  while (!sorted.empty()) {
    TagList& group = rows[truncateToInt(toNumber(sorted.front().get("row")))];
    group.splice(group.end(), sorted, sorted.begin());
  }
  return rows;
}

TaggingImpl::TagRowRefs TaggingImpl::tagRowsOf(const TagList& tags) {
  const OrderedTags<const TagList> ordered(tags);
  TagRowRefs rows;
  for (const auto& entry : ordered.entries) {
    rows[truncateToInt(toNumber(*entry.row))].push_back(&*entry.tag);
  }
  return rows;
}

}  // namespace Portals
}  // namespace ORLIX
