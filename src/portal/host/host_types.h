// Value types that cross the boundary between the host and a portal library.
// Nothing here depends on the portal's own code: the host compiles against these
// headers as they are.
#ifndef ORLIX_PORTAL_HOST_HOST_TYPES_H
#define ORLIX_PORTAL_HOST_HOST_TYPES_H

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ORLIX {

// The host's 8-bit string; holds UTF-8 text.
using String = std::string;
using StringList = std::vector<String>;

// Ordered string map whose reads never insert: an absent key reads as the empty
// string. Writing goes through set(), so a lookup can never grow the map by accident.
class StringStringMap {
 public:
  using Map = std::map<String, String>;
  using const_iterator = Map::const_iterator;
  using value_type = Map::value_type;

  StringStringMap() = default;
  StringStringMap(std::initializer_list<value_type> init) : map_(init) {}

  const String& operator[](const String& key) const {
    auto it = map_.find(key);
    return it == map_.end() ? emptyString() : it->second;
  }
  void set(const String& key, const String& value) { map_[key] = value; }
  bool contains(const String& key) const { return map_.count(key) != 0; }
  bool erase(const String& key) { return map_.erase(key) != 0; }
  void clear() { map_.clear(); }
  std::size_t size() const { return map_.size(); }
  bool empty() const { return map_.empty(); }
  const_iterator begin() const { return map_.begin(); }
  const_iterator end() const { return map_.end(); }
  bool operator==(const StringStringMap& other) const { return map_ == other.map_; }
  bool operator!=(const StringStringMap& other) const { return map_ != other.map_; }

 private:
  static const String& emptyString() {
    static const String empty;
    return empty;
  }
  Map map_;
};

// The numbers and texts reported for one response.
struct ResponseValues {
  std::vector<double> numbers;
  StringList texts;
  bool empty() const { return numbers.empty() && texts.empty(); }
};

// One (key, value, kind) entry of a discovery item; the shape of a tag attribute.
struct PortalEntry {
  String key;
  String value;
  String kind;
};
using PortalEntryList = std::vector<PortalEntry>;

// What parseInputFile / parseOutputFile report to the host: parameters,
// responses, groups and choice lists, nested.
struct PortalItem {
  String name;
  String typeLabel;
  PortalEntryList entries;
  std::int32_t flags = 0;
  std::vector<PortalItem> children;
  PortalEntryList secondEntries;  // left empty by every portal of this system

  PortalItem() = default;
  PortalItem(String itemName, String label, std::int32_t itemFlags)
      : name(std::move(itemName)), typeLabel(std::move(label)), flags(itemFlags) {}

  void addEntry(const String& key, const String& value, const String& kind = String()) {
    entries.push_back(PortalEntry{key, value, kind});
  }
};
using PortalItemList = std::vector<PortalItem>;

// One further choice that a response needs (resolveResponse).
struct ResponseRequest {
  String name;
  StringList columns;
};
using ResponseRequestList = std::vector<ResponseRequest>;

// The host's per-design value and response objects. The framework only hands them
// on to the engines, which never look inside: values come from and go to the host
// service instead.
struct HostValues;
struct HostResponses;

}  // namespace ORLIX

#endif
