// Look-up tables that let many element paths into one large document each
// find their element without walking a wide list of siblings from its start:
// the children of a parent by name and position, and, for a condition that
// compares a value ("@id=7", "#text=abc", "./case[#text=c7]"), which of those
// children pass it.
#ifndef ORLIX_TAGGING_XML_PATH_INDEX_H
#define ORLIX_TAGGING_XML_PATH_INDEX_H

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include <pugixml.hpp>

#include "tagging/xml/element_path.h"

namespace ORLIX {
namespace Portals {

// The first attribute of that name, as xml_node::attribute finds it, without
// needing the name as a separate C string.
pugi::xml_attribute attributeNamed(pugi::xml_node element, std::string_view name);
bool isElementNamed(pugi::xml_node node, const String& name);

// The element children of one parent that share a name, by position. Walking
// a list of a million siblings costs most of what parsing it did, so a list
// keeps every 64th child as a mark, not every child: a position is reached
// from the mark before it.
class NamedChildren {
 public:
  std::size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  // Null past the end.
  pugi::xml_node at(std::size_t position) const;
  // The next child of the same name after `child` (null after the last).
  static pugi::xml_node next(pugi::xml_node child);

 private:
  friend class PathIndex;
  static constexpr std::size_t kMarkEvery = 64;
  void add(pugi::xml_node child);

  std::size_t count_ = 0;
  std::vector<pugi::xml_node> marks_;
};

class PathIndex {
 public:
  const NamedChildren& namedChildren(pugi::xml_node parent, const String& name);

  // One walk over everything below `top`, false as soon as it meets an element
  // more than `depthBound` levels below it. On the way, every parent of at
  // least kWideList element children is listed as namedChildren lists it: a
  // caller that must walk the whole document anyway, to bound its depth, then
  // visits a wide list once instead of twice. Narrower parents are listed when
  // a path first reaches them. Announce the conditions (expect) first, so that
  // the walk tables them; after false, the index holds no lists at all.
  bool survey(pugi::xml_node top, std::size_t depthBound);

  // The children named `name` of `parent` that pass `condition`, in document
  // order. False when the condition is not one a table can answer: a sub-path
  // that is not a chain of indexed steps ending in a value comparison, or no
  // comparison at all.
  bool passing(pugi::xml_node parent, const String& name, const String& condition,
               std::vector<pugi::xml_node>& children);

  // Announces that `condition` will be asked of children named `name`. A
  // table then holds only the values announced for it, and a comparison on
  // the children themselves is tabled in the same pass that lists them; a
  // value asked for without announcement still gets its answer, from a table
  // built again in full.
  void expect(const String& name, const String& condition);

  // A value was written: "@name" into an attribute of `holder`, "#text" into
  // one of its texts. Forgets every table that may have looked at it.
  void valueWritten(pugi::xml_node holder, const String& key);

 private:
  // Below this many element children, listing a parent when a path reaches it
  // costs next to nothing, and a survey leaves it to then.
  static constexpr std::size_t kWideList = 1024;

  // Where a condition finds the values it compares, from one child: down the
  // steps (the n-th element of a name, each in turn), then the child reached
  // itself (no leaf name) or each of its elements of the leaf name.
  struct ValueSource {
    std::vector<std::pair<String, int>> steps;
    String leafName;
    String key;        // "#text", or "@" and an attribute name
    String attribute;  // the name, when the values are an attribute's
    String value;
    String shape;  // the source without the value: tables are shared by it
    bool onChild() const { return steps.empty() && leafName.empty(); }
  };
  // For each value, the children holding it, as a chain through `links`
  // (child, next link) in document order; `last` ends each chain.
  struct ValueTable {
    std::unordered_map<std::string_view, std::pair<std::uint32_t, std::uint32_t>> chains;
    std::vector<std::pair<pugi::xml_node, std::uint32_t>> links;
    // The values it was built for; empty when it holds every value.
    std::unordered_set<String> only;
    std::unordered_set<std::string_view> wanted;  // views of `only`
    // One bit per cheap fingerprint of the wanted values: most values of a
    // wide list are turned away by it without being hashed.
    std::vector<std::uint64_t> fingerprints;
    void want(const std::unordered_set<String>& values);
    void add(const char* value, pugi::xml_node child);
  };
  // What a table looked at: values under `key` of elements named
  // `holderName`, `depth` levels below `parent`.
  struct TableUse {
    pugi::xml_node_struct* parent;
    String key;
    String holderName;
    std::size_t depth;
    String tableKey;
  };
  struct Expected {
    const ValueSource* source = nullptr;
    std::unordered_set<String> values;
  };
  // Lists the element children of one parent, handed to it one at a time in
  // document order, and tables the announced comparisons on them as it goes.
  class Lister {
   public:
    Lister(PathIndex& index, pugi::xml_node parent);
    void add(pugi::xml_node element);

   private:
    using Tabled = std::vector<std::pair<ValueTable*, const ValueSource*>>;
    PathIndex& index_;
    pugi::xml_node parent_;
    std::unordered_map<std::string_view, NamedChildren>& byName_;
    std::unordered_map<std::string_view, Tabled> tabledByName_;
    // Siblings mostly share their name: the list of the previous child is
    // reused without hashing the name again.
    const char* currentName_ = nullptr;
    NamedChildren* current_ = nullptr;
    const Tabled* tabled_ = nullptr;
  };

  const ValueSource* valueSource(const String& condition);
  ValueTable& newTable(pugi::xml_node parent, const String& name, const ValueSource& source,
                       const std::unordered_set<String>* only);
  const ValueTable& valueTable(pugi::xml_node parent, const String& name,
                               const ValueSource& source);
  void collectValues(pugi::xml_node child, const ValueSource& source,
                     std::vector<const char*>& values) const;

  std::unordered_map<pugi::xml_node_struct*,
                     std::unordered_map<std::string_view, NamedChildren>>
      children_;
  std::unordered_map<String, std::unique_ptr<ValueSource>> sources_;
  std::unordered_map<String, ValueTable> tables_;
  std::vector<TableUse> tableUses_;
  // By element name, then source shape.
  std::unordered_map<String, std::map<String, Expected>> expected_;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
