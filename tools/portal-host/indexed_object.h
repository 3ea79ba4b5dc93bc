// The object type behind portalhost::Json: keys stay in the order they were
// written, like nlohmann::ordered_map, but a key is found through a hash index
// instead of a walk over every key. A scenario may give tens of thousands of
// parameter values in one object; with a walk, reading it costs the square of
// their number.
//
// The index holds positions and hashes only, never pointers or views into the
// elements, so growing the vector, copying and moving the object all leave it
// valid. Small objects, which are most of them, are searched by a walk and get
// no index at all: below a handful of keys a walk is faster than hashing, and it
// saves an allocation per object.
//
// Behaviour that nlohmann::ordered_json shows is kept on purpose: a key written
// twice keeps its first place and takes the last value (the parser assigns
// through operator[]), and two objects compare as the sequences of their
// (key, value) pairs, so the same keys in another order make another object.
#ifndef PORTAL_HOST_INDEXED_OBJECT_H
#define PORTAL_HOST_INDEXED_OBJECT_H

#include <algorithm>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace portalhost {

// The signature is the one basic_json gives its ObjectType template; the
// ordering it passes is ignored, as ordered_map ignores it.
template <class Key, class T, class IgnoredLess = std::less<Key>,
          class Allocator = std::allocator<std::pair<const Key, T>>>
class IndexedObject {
 public:
  using key_type = Key;
  using mapped_type = T;
  using value_type = std::pair<const Key, T>;
  using allocator_type = Allocator;
  using Container = std::vector<value_type, Allocator>;
  using iterator = typename Container::iterator;
  using const_iterator = typename Container::const_iterator;
  using reverse_iterator = typename Container::reverse_iterator;
  using const_reverse_iterator = typename Container::const_reverse_iterator;
  using size_type = typename Container::size_type;
  using difference_type = typename Container::difference_type;
  using reference = value_type&;
  using const_reference = const value_type&;
  using KeyView = std::basic_string_view<typename Key::value_type, typename Key::traits_type>;

  // Transparent, so basic_json looks keys up by literal or string_view without
  // building a key first; taking views limits that to text-like key types.
  struct key_compare {
    using is_transparent = void;
    bool operator()(KeyView a, KeyView b) const noexcept { return a == b; }
  };

  // From this many keys on, an object keeps an index.
  static constexpr size_type kIndexedFrom = 8;

 private:
  template <class K>
  using IfTextKey = std::enable_if_t<std::is_convertible<const K&, KeyView>::value, int>;
  template <class K>
  using IfOtherKey = std::enable_if_t<!std::is_convertible<const K&, KeyView>::value &&
                                          std::is_constructible<Key, K&&>::value,
                                      int>;
  template <class It>
  using IfInputIterator = std::enable_if_t<
      std::is_convertible<typename std::iterator_traits<It>::iterator_category, std::input_iterator_tag>::value,
      int>;

 public:
  IndexedObject() = default;
  explicit IndexedObject(const Allocator& alloc) : items_(alloc) {}
  template <class It, IfInputIterator<It> = 0>
  IndexedObject(It first, It last, const Allocator& alloc = Allocator()) : items_(alloc) {
    insert(first, last);
  }
  IndexedObject(std::initializer_list<value_type> init, const Allocator& alloc = Allocator()) : items_(alloc) {
    insert(init.begin(), init.end());
  }

  IndexedObject(const IndexedObject&) = default;
  IndexedObject& operator=(const IndexedObject&) = default;
  // Spelt out so that a moved-from object is empty in both parts, whatever the
  // vector's moves leave behind.
  IndexedObject(IndexedObject&& other) noexcept
      : items_(std::move(other.items_)), index_(std::move(other.index_)) {
    other.clear();
  }
  IndexedObject& operator=(IndexedObject&& other) noexcept {
    if (this != &other) {
      items_ = std::move(other.items_);
      index_ = std::move(other.index_);
      other.clear();
    }
    return *this;
  }
  ~IndexedObject() = default;

  // Adds the key with a value made from args, unless the key is there already;
  // then nothing is made and the existing element is returned.
  template <class K, class... Args, IfTextKey<K> = 0>
  std::pair<iterator, bool> emplace(K&& key, Args&&... args) {
    const KeyView view(key);
    const bool hashed = !index_.empty() || items_.size() + 1 >= kIndexedFrom;
    const std::size_t hash = hashed ? hashOf(view) : 0;
    const size_type found = hashed && !index_.empty() ? probe(view, hash) : walk(view);
    if (found != npos) return {items_.begin() + static_cast<difference_type>(found), false};
    // The index and the vector make room first: if that throws, the object is
    // as it was.
    if (hashed) prepareIndexFor(items_.size() + 1);
    if (items_.size() == items_.capacity()) rebuild(std::max<size_type>(2 * items_.size(), 4));
    items_.emplace_back(std::piecewise_construct, std::forward_as_tuple(std::forward<K>(key)),
                        std::forward_as_tuple(std::forward<Args>(args)...));
    if (!index_.empty()) place(index_, hash, items_.size() - 1);
    return {std::prev(items_.end()), true};
  }
  template <class K, class... Args, IfOtherKey<K> = 0>
  std::pair<iterator, bool> emplace(K&& key, Args&&... args) {
    return emplace(Key(std::forward<K>(key)), std::forward<Args>(args)...);
  }

  template <class K, IfTextKey<K> = 0>
  T& operator[](K&& key) {
    return emplace(std::forward<K>(key)).first->second;
  }
  template <class K, IfTextKey<K> = 0>
  const T& operator[](const K& key) const {
    return at(key);
  }

  template <class K, IfTextKey<K> = 0>
  T& at(const K& key) {
    const size_type found = locate(KeyView(key));
    if (found == npos) throw std::out_of_range("key not found");
    return items_[found].second;
  }
  template <class K, IfTextKey<K> = 0>
  const T& at(const K& key) const {
    const size_type found = locate(KeyView(key));
    if (found == npos) throw std::out_of_range("key not found");
    return items_[found].second;
  }

  template <class K, IfTextKey<K> = 0>
  iterator find(const K& key) {
    return at_or_end(locate(KeyView(key)));
  }
  template <class K, IfTextKey<K> = 0>
  const_iterator find(const K& key) const {
    const size_type found = locate(KeyView(key));
    return found == npos ? items_.end() : items_.begin() + static_cast<difference_type>(found);
  }
  template <class K, IfTextKey<K> = 0>
  size_type count(const K& key) const {
    return locate(KeyView(key)) == npos ? 0 : 1;
  }
  template <class K, IfTextKey<K> = 0>
  bool contains(const K& key) const {
    return locate(KeyView(key)) != npos;
  }

  template <class K, IfTextKey<K> = 0>
  size_type erase(const K& key) {
    const size_type found = locate(KeyView(key));
    if (found == npos) return 0;
    erase(items_.begin() + static_cast<difference_type>(found));
    return 1;
  }
  iterator erase(const_iterator pos) { return erase(pos, std::next(pos)); }
  iterator erase(const_iterator first, const_iterator last) {
    const size_type from = static_cast<size_type>(first - items_.cbegin());
    const size_type gone = static_cast<size_type>(last - first);
    if (gone == 0) return items_.begin() + static_cast<difference_type>(from);
    // The index for what remains is made before anything moves, from the
    // hashes it holds, so no key is hashed again.
    std::vector<Slot> index = indexWithout(from, gone);
    // Keys are const, so the elements after the gap cannot be assigned into
    // it; with nothing after the gap, nothing moves.
    if (from + gone == items_.size()) {
      while (items_.size() > from) items_.pop_back();
    } else {
      rebuild(items_.size() - gone, from, gone);
    }
    index_ = std::move(index);
    return items_.begin() + static_cast<difference_type>(from);
  }

  std::pair<iterator, bool> insert(const value_type& value) { return emplace(value.first, value.second); }
  std::pair<iterator, bool> insert(value_type&& value) { return emplace(value.first, std::move(value.second)); }
  // Where a new key goes is not the caller's choice; the hint is for std::inserter.
  iterator insert(const_iterator /*hint*/, const value_type& value) { return insert(value).first; }
  iterator insert(const_iterator /*hint*/, value_type&& value) { return insert(std::move(value)).first; }
  template <class It, IfInputIterator<It> = 0>
  void insert(It first, It last) {
    for (; first != last; ++first) insert(*first);
  }

  void clear() noexcept {
    items_.clear();
    index_.clear();
  }
  void reserve(size_type count) {
    if (count > items_.capacity()) rebuild(count);
  }
  void swap(IndexedObject& other) noexcept {
    items_.swap(other.items_);
    index_.swap(other.index_);
  }
  friend void swap(IndexedObject& a, IndexedObject& b) noexcept { a.swap(b); }

  iterator begin() noexcept { return items_.begin(); }
  const_iterator begin() const noexcept { return items_.begin(); }
  const_iterator cbegin() const noexcept { return items_.cbegin(); }
  iterator end() noexcept { return items_.end(); }
  const_iterator end() const noexcept { return items_.end(); }
  const_iterator cend() const noexcept { return items_.cend(); }
  reverse_iterator rbegin() noexcept { return items_.rbegin(); }
  const_reverse_iterator rbegin() const noexcept { return items_.rbegin(); }
  reverse_iterator rend() noexcept { return items_.rend(); }
  const_reverse_iterator rend() const noexcept { return items_.rend(); }

  bool empty() const noexcept { return items_.empty(); }
  size_type size() const noexcept { return items_.size(); }
  size_type max_size() const noexcept { return items_.max_size(); }
  // nlohmann recognises a vector-backed object by this member and then re-points
  // parent links after an insertion that may have moved the elements.
  size_type capacity() const noexcept { return items_.capacity(); }
  allocator_type get_allocator() const { return items_.get_allocator(); }

  // As the vector of pairs compares: in order, key then value.
  friend bool operator==(const IndexedObject& a, const IndexedObject& b) { return a.items_ == b.items_; }
  friend bool operator!=(const IndexedObject& a, const IndexedObject& b) { return a.items_ != b.items_; }
  friend bool operator<(const IndexedObject& a, const IndexedObject& b) { return a.items_ < b.items_; }
  friend bool operator<=(const IndexedObject& a, const IndexedObject& b) { return a.items_ <= b.items_; }
  friend bool operator>(const IndexedObject& a, const IndexedObject& b) { return a.items_ > b.items_; }
  friend bool operator>=(const IndexedObject& a, const IndexedObject& b) { return a.items_ >= b.items_; }

  // For tests: whether lookups go through the index.
  bool indexed() const noexcept { return !index_.empty(); }

 private:
  static constexpr size_type npos = static_cast<size_type>(-1);

  // Open addressing with linear probing over a power-of-two table kept at most
  // half full; the full hash is kept so that probing rarely compares keys.
  struct Slot {
    std::size_t hash = 0;
    size_type position = npos;
  };

  static std::size_t hashOf(KeyView key) noexcept { return std::hash<KeyView>()(key); }

  static void place(std::vector<Slot>& index, std::size_t hash, size_type position) noexcept {
    const std::size_t mask = index.size() - 1;
    std::size_t slot = hash & mask;
    while (index[slot].position != npos) slot = (slot + 1) & mask;
    index[slot] = Slot{hash, position};
  }

  static size_type slotsFor(size_type keys) {
    size_type slots = 2 * kIndexedFrom;
    while (slots < 2 * keys) slots *= 2;
    return slots;
  }

  size_type walk(KeyView key) const noexcept {
    for (size_type i = 0; i < items_.size(); ++i) {
      if (KeyView(items_[i].first) == key) return i;
    }
    return npos;
  }

  size_type probe(KeyView key, std::size_t hash) const noexcept {
    const std::size_t mask = index_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      const Slot& candidate = index_[slot];
      if (candidate.position == npos) return npos;
      if (candidate.hash == hash && KeyView(items_[candidate.position].first) == key) return candidate.position;
    }
  }

  size_type locate(KeyView key) const noexcept { return index_.empty() ? walk(key) : probe(key, hashOf(key)); }

  iterator at_or_end(size_type found) {
    return found == npos ? items_.end() : items_.begin() + static_cast<difference_type>(found);
  }

  // Makes sure the index can take `keys` keys: builds it when the object reaches
  // kIndexedFrom keys, and doubles it when it would be more than half full.
  void prepareIndexFor(size_type keys) {
    if (keys < kIndexedFrom) return;
    if (!index_.empty() && 2 * keys <= index_.size()) return;
    std::vector<Slot> grown(slotsFor(keys));
    if (index_.empty()) {
      for (size_type i = 0; i < items_.size(); ++i) place(grown, hashOf(KeyView(items_[i].first)), i);
    } else {
      for (const Slot& slot : index_) {
        if (slot.position != npos) place(grown, slot.hash, slot.position);
      }
    }
    index_ = std::move(grown);
  }

  // The index for the elements left after removing `gone` of them from `from` on.
  std::vector<Slot> indexWithout(size_type from, size_type gone) const {
    const size_type left = items_.size() - gone;
    if (index_.empty() || left < kIndexedFrom) return {};
    std::vector<Slot> index(slotsFor(left));
    for (const Slot& slot : index_) {
      if (slot.position == npos || (slot.position >= from && slot.position < from + gone)) continue;
      place(index, slot.hash, slot.position >= from + gone ? slot.position - gone : slot.position);
    }
    return index;
  }

  // Remakes the elements in a new vector of `capacity`, leaving out the `gone`
  // elements from `from` on. Keys are const, so a vector growing by itself
  // would copy each element whole, its value (a whole sub-document) included:
  // here the kept keys are copied first and the values then moved. If a copy
  // throws, the object is as it was; once all are copied, nothing can.
  void rebuild(size_type capacity, size_type from = 0, size_type gone = 0) {
    static_assert(std::is_nothrow_move_constructible<T>::value, "values are moved into place");
    const auto kept = [&](size_type i) { return i < from || i >= from + gone; };
    std::vector<Key> keys;
    keys.reserve(items_.size() - gone);
    for (size_type i = 0; i < items_.size(); ++i) {
      if (kept(i)) keys.push_back(items_[i].first);
    }
    Container remade(items_.get_allocator());
    remade.reserve(capacity);
    for (size_type i = 0, k = 0; i < items_.size(); ++i) {
      if (!kept(i)) continue;
      remade.emplace_back(std::piecewise_construct, std::forward_as_tuple(std::move(keys[k++])),
                          std::forward_as_tuple(std::move(items_[i].second)));
    }
    items_.swap(remade);
  }

  Container items_;
  std::vector<Slot> index_;  // empty: no index, keys are found by a walk
};

}  // namespace portalhost

#endif
