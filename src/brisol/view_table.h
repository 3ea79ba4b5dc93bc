// A lookup from text to a number for the tags of one deck update, built once
// and never shrunk. Open addressing over a power-of-two table kept at most half
// full, each slot holding the key's view and hash: a hundred thousand keys in
// std::unordered_map cost an allocation each and a cache miss at every link of
// a chain, which made building the tag index a tenth of a large update.
//
// Keys are views: the texts they view must outlive the table.
#ifndef ORLIX_BRISOL_VIEW_TABLE_H
#define ORLIX_BRISOL_VIEW_TABLE_H

#include <cstddef>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace ORLIX {
namespace Portals {

class ViewTable {
 public:
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  // Room for `keys` keys without growing.
  explicit ViewTable(std::size_t keys = 0) { grow(keys); }

  // The number stored under `key`, and whether it was stored now: a new key
  // gets `number`, a key already there keeps its own.
  std::pair<std::size_t, bool> emplace(std::string_view key, std::size_t number) {
    if (2 * (size_ + 1) > slots_.size()) grow(2 * (size_ + 1));
    const std::size_t hash = std::hash<std::string_view>()(key);
    Slot& slot = slots_[probe(key, hash)];
    if (slot.number != npos) return {slot.number, false};
    slot = Slot{key, hash, number};
    ++size_;
    return {number, true};
  }

  // The number stored under `key`, or npos.
  std::size_t find(std::string_view key) const {
    if (size_ == 0) return npos;
    return slots_[probe(key, std::hash<std::string_view>()(key))].number;
  }

  std::size_t size() const { return size_; }

 private:
  struct Slot {
    std::string_view key;
    std::size_t hash = 0;
    std::size_t number = npos;  // npos: the slot is free
  };

  // The slot holding `key`, or the free slot where it would go.
  std::size_t probe(std::string_view key, std::size_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = hash & mask;
    while (slots_[at].number != npos && (slots_[at].hash != hash || slots_[at].key != key)) {
      at = (at + 1) & mask;
    }
    return at;
  }

  // To at least twice `keys` slots, the keys held placed anew.
  void grow(std::size_t keys) {
    std::size_t count = 16;
    while (count < 2 * keys) count *= 2;
    if (count <= slots_.size()) return;
    std::vector<Slot> old(count);
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (slot.number != npos) slots_[probe(slot.key, slot.hash)] = slot;
    }
  }

  std::vector<Slot> slots_;
  std::size_t size_ = 0;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
