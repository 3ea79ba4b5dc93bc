#include "indexed_object.h"

#include <algorithm>
#include <map>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "scenario_json.h"

namespace portalhost {
namespace {

using Object = Json::object_t;
using Model = std::vector<std::pair<std::string, int>>;
constexpr std::size_t kIndexedFrom = Object::kIndexedFrom;

// A permutation of k0..k<count-1>, so that the writing order differs from the
// order of the texts.
std::vector<std::string> scrambledKeys(std::size_t count) {
  std::vector<std::string> keys;
  for (std::size_t i = 0; i < count; ++i) keys.push_back("k" + std::to_string((i * 7919) % count));
  return keys;
}

// Every key of the model in its place with its value, and nothing else.
void expectSame(const Model& model, const Object& object) {
  ASSERT_EQ(model.size(), object.size());
  std::size_t i = 0;
  for (const auto& element : object) {
    EXPECT_EQ(model[i].first, element.first) << "at " << i;
    ++i;
  }
  for (const auto& entry : model) {
    ASSERT_EQ(1u, object.count(entry.first)) << entry.first;
    EXPECT_EQ(entry.second, object.at(entry.first).get<int>()) << entry.first;
  }
  EXPECT_EQ(object.size() >= kIndexedFrom, object.indexed());
}

TEST(IndexedObject, KeepsWritingOrderAndFindsEveryKeyOnEitherSideOfTheIndex) {
  for (std::size_t count : {std::size_t{3}, kIndexedFrom - 1, kIndexedFrom, std::size_t{1000}}) {
    SCOPED_TRACE(count);
    Object object;
    Model model;
    int value = 0;
    for (const std::string& key : scrambledKeys(count)) {
      object[key] = value;
      model.emplace_back(key, value++);
    }
    expectSame(model, object);
    EXPECT_EQ(0u, object.count("k" + std::to_string(count)));
    EXPECT_TRUE(object.find("missing") == object.end());
    EXPECT_THROW(object.at("missing"), std::out_of_range);
    // An existing key is found, not added again, and keeps its value.
    const auto again = object.emplace(model.back().first, -1);
    EXPECT_FALSE(again.second);
    EXPECT_EQ(model.back().second, again.first->second.get<int>());
    EXPECT_EQ(count, object.size());
  }
}

TEST(IndexedObject, ParsesRepeatedKeysAsOrderedJsonDoes) {
  const Json small = Json::parse(R"({"a": 1, "b": 2, "a": 3})");
  EXPECT_EQ(R"({"a":3,"b":2})", small.dump());

  std::string text = R"({"dup": 0)";
  for (int i = 0; i < 100; ++i) text += ",\"k" + std::to_string(i) + "\":" + std::to_string(i);
  text += R"(, "dup": 1, "k50": "last", "dup": 2, "k0": null})";
  const Json large = Json::parse(text);
  EXPECT_EQ(nlohmann::ordered_json::parse(text).dump(), large.dump());
  EXPECT_EQ(2, large.at("dup").get<int>());
  EXPECT_EQ("last", large.at("k50").get<std::string>());
  EXPECT_TRUE(large.at("k0").is_null());
  EXPECT_EQ(101u, large.size());
}

// Random insertions, erasures by key, by position and by range, and clears,
// checked against a plain vector after every step.
TEST(IndexedObject, StaysFindableThroughAnyMixOfInsertionsAndErasures) {
  std::mt19937 random(12345);
  Object object;
  Model model;
  const auto pick = [&](std::size_t bound) { return std::uniform_int_distribution<std::size_t>(0, bound)(random); };
  for (int step = 0; step < 4000; ++step) {
    const std::size_t action = pick(19);
    const std::string key = "key" + std::to_string(pick(60));
    if (action < 12) {
      const auto found = std::find_if(model.begin(), model.end(), [&](const auto& e) { return e.first == key; });
      if (found == model.end()) model.emplace_back(key, step);
      else found->second = step;
      object[key] = step;
    } else if (action < 15) {
      const auto found = std::find_if(model.begin(), model.end(), [&](const auto& e) { return e.first == key; });
      const bool present = found != model.end();
      if (present) model.erase(found);
      ASSERT_EQ(present ? 1u : 0u, object.erase(key));
    } else if (action < 18 && !model.empty()) {
      const std::size_t first = pick(model.size() - 1);
      const std::size_t last = first + pick(std::min<std::size_t>(model.size() - first, 5));
      model.erase(model.begin() + first, model.begin() + last);
      const auto next = object.erase(object.begin() + first, object.begin() + last);
      ASSERT_EQ(first, static_cast<std::size_t>(next - object.begin()));
    } else if (action == 19 && pick(20) == 0) {
      model.clear();
      object.clear();
    }
    ASSERT_NO_FATAL_FAILURE(expectSame(model, object)) << "after step " << step;
  }
}

TEST(IndexedObject, CopiesMovesAndSwapsCarryTheirIndex) {
  Object original;
  for (int i = 0; i < 40; ++i) original["k" + std::to_string(i)] = i;

  Object copy = original;
  copy.erase("k0");
  copy["extra"] = 1;
  EXPECT_EQ(40u, original.size());
  EXPECT_EQ(0, original.at("k0").get<int>());
  EXPECT_EQ(0u, original.count("extra"));
  EXPECT_EQ(1, copy.at("extra").get<int>());

  Object moved = std::move(copy);
  EXPECT_EQ(39, moved.at("k39").get<int>());
  EXPECT_TRUE(copy.empty());  // NOLINT(bugprone-use-after-move): a moved-from object is reused
  EXPECT_FALSE(copy.indexed());
  copy["again"] = 2;
  EXPECT_EQ(2, copy.at("again").get<int>());

  swap(copy, moved);
  EXPECT_EQ(1u, moved.size());
  EXPECT_EQ(39, copy.at("k39").get<int>());
  EXPECT_EQ(0u, copy.count("again"));
}

// An allocator that fails once a set number of allocations have been made,
// to see what an erase leaves when copying a key runs out of memory.
int allocationsLeft = -1;  // -1: never fail

template <class T>
struct FailingAllocator {
  using value_type = T;
  FailingAllocator() = default;
  template <class U>
  FailingAllocator(const FailingAllocator<U>&) {}
  T* allocate(std::size_t n) {
    if (allocationsLeft == 0) throw std::bad_alloc();
    if (allocationsLeft > 0) --allocationsLeft;
    return std::allocator<T>().allocate(n);
  }
  void deallocate(T* p, std::size_t n) { std::allocator<T>().deallocate(p, n); }
  bool operator==(const FailingAllocator&) const { return true; }
  bool operator!=(const FailingAllocator&) const { return false; }
};

TEST(IndexedObject, AnEraseOrAGrowthThatRunsOutOfMemoryLeavesTheObjectAsItWas) {
  using Key = std::basic_string<char, std::char_traits<char>, FailingAllocator<char>>;
  IndexedObject<Key, int> object;
  const auto keyOf = [](int i) { return Key("a key too long to live inside the string " + std::to_string(i)); };
  for (int i = 0; i < 12; ++i) object.emplace(keyOf(i), i);
  // Erasing one of 12 copies the 11 keys that stay; any of those copies may fail.
  for (int failAfter = 0; failAfter < 11; ++failAfter) {
    allocationsLeft = failAfter;
    EXPECT_THROW(object.erase(object.begin() + 3), std::bad_alloc) << failAfter;
    allocationsLeft = -1;
    ASSERT_EQ(12u, object.size());
    for (int i = 0; i < 12; ++i) {
      EXPECT_EQ(keyOf(i), (object.begin() + i)->first);
      EXPECT_EQ(i, object.at(keyOf(i)));
    }
  }
  object.erase(object.begin() + 3);
  EXPECT_EQ(0u, object.count(keyOf(3)));
  EXPECT_EQ(11, object.at(keyOf(11)));

  // Growing copies the keys the same way.
  object.reserve(object.size());
  allocationsLeft = 5;
  EXPECT_THROW(object.emplace(keyOf(12), 12), std::bad_alloc);
  allocationsLeft = -1;
  EXPECT_EQ(11u, object.size());
  EXPECT_EQ(0u, object.count(keyOf(12)));
  EXPECT_EQ(11, object.at(keyOf(11)));
}

// A value that counts its copies.
struct Counted {
  static int copies;
  int value = 0;
  Counted(int v = 0) : value(v) {}
  Counted(const Counted& other) : value(other.value) { ++copies; }
  Counted(Counted&&) noexcept = default;
  Counted& operator=(const Counted&) = default;
  Counted& operator=(Counted&&) noexcept = default;
};
int Counted::copies = 0;

// Keys are const, so a vector growing by itself copies every element, values
// and all: for a parsed document, every sub-document again at each doubling.
TEST(IndexedObject, GrowingAndErasingMoveTheValues) {
  IndexedObject<std::string, Counted> object;
  Counted::copies = 0;
  for (int i = 0; i < 1000; ++i) object.emplace("k" + std::to_string(i), i);
  object.erase(object.begin() + 10, object.begin() + 20);
  object.reserve(5000);
  EXPECT_EQ(0, Counted::copies);
  EXPECT_EQ(999, object.at("k999").value);
  EXPECT_EQ(990u, object.size());
}

TEST(IndexedObject, FindsKeysByAnyTextWithoutCuttingAtNul) {
  const std::string withNul("a\0b", 3);
  for (std::size_t filler : {std::size_t{0}, kIndexedFrom}) {
    SCOPED_TRACE(filler);
    Json json = Json::object();
    for (std::size_t i = 0; i < filler; ++i) json["f" + std::to_string(i)] = 0;
    json["a"] = 1;
    json[withNul] = 2;
    json[""] = 3;
    EXPECT_EQ(1, json.at(std::string_view("a")).get<int>());
    EXPECT_EQ(2, json.at(std::string_view(withNul)).get<int>());
    EXPECT_EQ(3, json.at("").get<int>());
    EXPECT_EQ(1, json.value("a", 0));
    EXPECT_FALSE(json.contains(std::string_view("a\0", 2)));
    EXPECT_EQ(1u, json.erase(std::string_view(withNul)));
    EXPECT_EQ(1, json["a"].get<int>());
  }
}

TEST(IndexedObject, ComparesAsOrderedJsonDoes) {
  std::string many = "{";
  for (int i = 0; i < 30; ++i) many += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":" + std::to_string(i);
  const std::vector<std::string> texts = {
      R"({})", R"({"a":1,"b":2})", R"({"b":2,"a":1})", R"({"a":1,"b":3})", R"({"a":1})", R"({"z":0})",
      R"({"a":1.0,"b":2})",
      R"({"a":{"x":[1,2]},"b":2})", R"({"a":{"x":[1,3]},"b":2})", many + "}", many + ",\"z\":0}",
      many + ",\"a\":0}"};
  for (const std::string& left : texts) {
    for (const std::string& right : texts) {
      SCOPED_TRACE(left + " vs " + right);
      const Json a = Json::parse(left), b = Json::parse(right);
      const auto oa = nlohmann::ordered_json::parse(left), ob = nlohmann::ordered_json::parse(right);
      EXPECT_EQ(oa == ob, a == b);
      EXPECT_EQ(oa != ob, a != b);
      EXPECT_EQ(oa < ob, a < b);
      EXPECT_EQ(oa <= ob, a <= b);
      EXPECT_EQ(oa > ob, a > b);
      EXPECT_EQ(oa >= ob, a >= b);
    }
  }
}

// basic_json functions that rebuild or edit objects through insert, update,
// erase and iterator ranges, and the parser's discarding of values.
TEST(IndexedObject, JsonEditsMatchOrderedJson) {
  std::string text = R"({"drop": 1, "keep": {"drop": 2, "x": [1, {"drop": 3}]})";
  for (int i = 0; i < 20; ++i) text += ",\"p" + std::to_string(i) + "\":" + std::to_string(i);
  text += R"(, "drop": 4})";
  const auto edit = [](auto json, const auto& extra) {
    using J = decltype(json);
    json.update(extra);
    json["keep"].insert(extra.begin(), extra.end());
    json.erase("p3");
    json.erase(json.find("p7"));
    json.emplace("new", 5);
    const J flat = json.flatten();
    return json.dump() + flat.dump() + flat.unflatten().dump() + J::diff(json, extra).dump() +
           json.patch(J::diff(json, extra)).dump();
  };
  const char* extra = R"({"p1": "one", "zz": 0, "p19": [], "p0": {}})";
  EXPECT_EQ(edit(nlohmann::ordered_json::parse(text), nlohmann::ordered_json::parse(extra)),
            edit(Json::parse(text), Json::parse(extra)));

  using Plain = std::map<std::string, int>;
  const Plain plain{{"b", 1}, {"a", 2}};
  EXPECT_EQ(nlohmann::ordered_json(plain).dump(), Json(plain).dump());
  EXPECT_EQ(plain, Json(plain).get<Plain>());

  const auto withoutDrop = [](int, auto& parsed, auto event) {
    return !(event == nlohmann::json::parse_event_t::key && parsed == "drop");
  };
  const Json filtered = Json::parse(text, [&](int depth, nlohmann::json::parse_event_t event, Json& parsed) {
    return withoutDrop(depth, parsed, event);
  });
  const auto expected = nlohmann::ordered_json::parse(
      text, [&](int depth, nlohmann::json::parse_event_t event, nlohmann::ordered_json& parsed) {
        return withoutDrop(depth, parsed, event);
      });
  EXPECT_EQ(expected.dump(), filtered.dump());
  EXPECT_FALSE(filtered.contains("drop"));
  EXPECT_EQ(19, filtered.at("p19").get<int>());
}

}  // namespace
}  // namespace portalhost
