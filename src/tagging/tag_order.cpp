// The order in which line-by-line engines meet a file's tags.
#include <algorithm>
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

}  // namespace

bool TaggingImpl::tagOrder(const TagData& a, const TagData& b) {
  return precedes(a.get("row"), a.get("col"), b.get("row"), b.get("col"));
}

// The text order can separate tags of one numeric row ("09" sorts before "10",
// "9" after it). Such tags join the row's one list, in the order met, rather
// than a later group replacing an earlier one: no tag is ever lost.
TaggingImpl::TagRows TaggingImpl::groupTagsByRow(const TagList& sorted) {
  TagRows rows;
  for (const TagData& tag : sorted) rows[truncateToInt(toNumber(tag.get("row")))].push_back(tag);
  return rows;
}

// The same order in one sort: by line number first, then by the texts, which
// is what grouping the text order by number gives. A tag file is mostly
// written line by line, so the tags are usually in order already, and one
// look at them costs less than sorting them.
TaggingImpl::TagRowRefs TaggingImpl::tagRowsOf(const TagList& tags) {
  struct Entry {
    int number;
    const String* row;
    const String* col;
    const TagData* tag;
  };
  std::vector<Entry> entries;
  entries.reserve(tags.size());
  for (const TagData& tag : tags) {
    const String& row = tag.get("row");
    entries.push_back(Entry{truncateToInt(toNumber(row)), &row, &tag.get("col"), &tag});
  }
  const auto before = [](const Entry& a, const Entry& b) {
    if (a.number != b.number) return a.number < b.number;
    return precedes(*a.row, *a.col, *b.row, *b.col);
  };
  if (!std::is_sorted(entries.begin(), entries.end(), before)) {
    std::stable_sort(entries.begin(), entries.end(), before);
  }

  TagRowRefs refs;
  refs.tags.reserve(entries.size());
  for (const Entry& entry : entries) {
    if (refs.rows.empty() || refs.rows.back().number != entry.number) {
      refs.rows.push_back(TagRowRefs::Row{entry.number, refs.tags.size(), refs.tags.size()});
    }
    refs.tags.push_back(entry.tag);
    ++refs.rows.back().end;
  }
  return refs;
}

}  // namespace Portals
}  // namespace ORLIX
