#include "tagging/xml/path_index.h"

#include <cstring>

#include "portal/text.h"

namespace ORLIX {
namespace Portals {
namespace {

constexpr std::uint32_t kEnd = 0xffffffffu;
const char* const kTextKey = "#text";

// "#text=v", "@a=v" or "a=v": the key as tables know it ("#text", "@a") and
// the value. False for a sub-path, without '=', and for a "#" key other than
// "#text", which matches nothing and needs no table.
bool splitComparison(const String& condition, String& key, String& value) {
  if (startsWith(condition, "./")) return false;
  const std::size_t equals = condition.find('=');
  if (equals == String::npos) return false;
  key = condition.substr(0, equals);
  value = condition.substr(equals + 1);
  if (startsWith(key, "#")) return key == kTextKey;
  if (startsWith(key, "@")) key.erase(0, 1);
  key.insert(0, "@");
  return true;
}

pugi::xml_node nthElementNamed(pugi::xml_node parent, const String& name, int n) {
  for (pugi::xml_node child : parent.children()) {
    if (isElementNamed(child, name) && n-- == 0) return child;
  }
  return pugi::xml_node();
}

// A rotate and an exclusive or per character, mixed once at the end: a value
// is read once for its length and its fingerprint together, and a multiply
// per character would cost more than the rest of a sibling's look.
constexpr std::uint32_t kFingerprints = 1u << 16;
std::uint32_t fingerprintOf(const char* text, std::size_t& length) {
  std::uint32_t hash = 0;
  const char* p = text;
  for (; *p; ++p) hash = (hash << 5 | hash >> 27) ^ static_cast<unsigned char>(*p);
  length = static_cast<std::size_t>(p - text);
  return (hash * 0x9E3779B1u) >> 16;
}

// Sibling names are short and mostly equal: compared here, without a call.
bool sameText(const char* a, const char* b) {
  while (*a == *b) {
    if (*a == '\0') return true;
    ++a;
    ++b;
  }
  return false;
}

String tableKeyOf(pugi::xml_node parent, const String& name, const String& shape) {
  pugi::xml_node_struct* const parentObject = parent.internal_object();
  String text(reinterpret_cast<const char*>(&parentObject), sizeof parentObject);
  text += name;
  text += '\0';
  text += shape;
  return text;
}

}  // namespace

pugi::xml_attribute attributeNamed(pugi::xml_node element, std::string_view name) {
  for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
    if (name == a.name()) return a;
  }
  return pugi::xml_attribute();
}

bool isElementNamed(pugi::xml_node node, const String& name) {
  return node.type() == pugi::node_element && name == node.name();
}

pugi::xml_node NamedChildren::next(pugi::xml_node child) {
  const char* name = child.name();
  for (pugi::xml_node sibling = child.next_sibling(); sibling; sibling = sibling.next_sibling()) {
    if (sibling.type() == pugi::node_element && std::strcmp(sibling.name(), name) == 0) {
      return sibling;
    }
  }
  return pugi::xml_node();
}

pugi::xml_node NamedChildren::at(std::size_t position) const {
  if (position >= count_) return pugi::xml_node();
  pugi::xml_node child = marks_[position / kMarkEvery];
  for (std::size_t steps = position % kMarkEvery; steps > 0; --steps) child = next(child);
  return child;
}

void NamedChildren::add(pugi::xml_node child) {
  if (count_ % kMarkEvery == 0) marks_.push_back(child);
  ++count_;
}

void PathIndex::ValueTable::want(const std::unordered_set<String>& values) {
  only = values;
  wanted.insert(only.begin(), only.end());
  fingerprints.assign(kFingerprints / 64, 0);
  for (const String& value : only) {
    std::size_t length = 0;
    const std::uint32_t bit = fingerprintOf(value.c_str(), length);
    fingerprints[bit / 64] |= std::uint64_t(1) << (bit % 64);
  }
}

void PathIndex::ValueTable::add(const char* text, pugi::xml_node child) {
  std::size_t length = 0;
  if (!wanted.empty()) {
    const std::uint32_t bit = fingerprintOf(text, length);
    if ((fingerprints[bit / 64] >> (bit % 64) & 1) == 0) return;
  } else {
    length = std::strlen(text);
  }
  const std::string_view value(text, length);
  if (!wanted.empty() && wanted.count(value) == 0) return;
  const auto chain = chains.try_emplace(value, kEnd, kEnd).first;
  std::uint32_t& last = chain->second.second;
  if (last != kEnd && links[last].first == child) return;  // a child is in each chain once
  links.emplace_back(child, kEnd);
  const auto link = static_cast<std::uint32_t>(links.size() - 1);
  (last == kEnd ? chain->second.first : links[last].second) = link;
  last = link;
}

PathIndex::Lister::Lister(PathIndex& index, pugi::xml_node parent)
    : index_(index), parent_(parent), byName_(index.children_[parent.internal_object()]) {}

// For each comparison announced on the children themselves, the children are
// tabled as they are listed: over a wide list, a second pass would cost as
// much again.
void PathIndex::Lister::add(pugi::xml_node element) {
  const char* name = element.name();
  if (!current_ || !sameText(currentName_, name)) {
    currentName_ = name;
    current_ = &byName_[name];
    auto tables = tabledByName_.find(name);
    if (tables == tabledByName_.end()) {
      tables = tabledByName_.emplace(name, Tabled()).first;
      const auto expected = index_.expected_.find(name);
      if (expected != index_.expected_.end()) {
        for (auto& shape : expected->second) {
          if (!shape.second.source->onChild()) continue;
          tables->second.emplace_back(
              &index_.newTable(parent_, name, *shape.second.source, &shape.second.values),
              shape.second.source);
        }
      }
    }
    tabled_ = &tables->second;
  }
  current_->add(element);
  for (const auto& table : *tabled_) {
    if (table.second->attribute.empty()) {
      table.first->add(element.child_value(), element);
    } else if (const pugi::xml_attribute a = element.attribute(table.second->attribute.c_str())) {
      table.first->add(a.value(), element);
    }
  }
}

const NamedChildren& PathIndex::namedChildren(pugi::xml_node parent, const String& name) {
  static const NamedChildren none;
  auto known = children_.find(parent.internal_object());
  if (known == children_.end()) {
    Lister lister(*this, parent);
    for (pugi::xml_node child : parent.children()) {
      if (child.type() == pugi::node_element) lister.add(child);
    }
    known = children_.find(parent.internal_object());
  }
  auto list = known->second.find(name);
  return list == known->second.end() ? none : list->second;
}

bool PathIndex::survey(pugi::xml_node top, std::size_t depthBound) {
  // The children of one parent as the walk meets them: counted until they
  // make a wide list, listed from then on (the ones counted first included).
  struct Siblings {
    pugi::xml_node parent;
    pugi::xml_node first;
    std::size_t elements = 0;
    std::unique_ptr<Lister> lister;
  };
  // levels[d] holds the siblings d + 1 levels below `top`.
  std::vector<Siblings> levels(1);
  pugi::xml_node node = top.first_child();
  if (!node) return true;
  levels[0].parent = top;
  levels[0].first = node;
  std::size_t depth = 1;
  for (;;) {
    if (node.type() == pugi::node_element) {
      if (depth > depthBound) {
        levels.clear();
        children_.clear();
        tables_.clear();
        tableUses_.clear();
        return false;
      }
      Siblings& siblings = levels[depth - 1];
      if (siblings.lister) {
        siblings.lister->add(node);
      } else if (++siblings.elements == kWideList &&
                 children_.count(siblings.parent.internal_object()) == 0) {
        siblings.lister = std::make_unique<Lister>(*this, siblings.parent);
        for (pugi::xml_node earlier = siblings.first;; earlier = earlier.next_sibling()) {
          if (earlier.type() == pugi::node_element) siblings.lister->add(earlier);
          if (earlier == node) break;
        }
      }
    }
    if (const pugi::xml_node child = node.first_child()) {
      if (levels.size() == depth) levels.emplace_back();
      Siblings& below = levels[depth];
      below.parent = node;
      below.first = child;
      below.elements = 0;
      below.lister.reset();
      node = child;
      ++depth;
      continue;
    }
    pugi::xml_node next = node.next_sibling();
    while (!next) {
      Siblings& finished = levels[depth - 1];
      finished.lister.reset();
      node = finished.parent;
      if (--depth == 0) return true;
      next = node.next_sibling();
    }
    node = next;
  }
}

// Which conditions a table answers follows from how a path walk treats them:
// a step with an index and nothing else leads to exactly one element (or
// none); a last step with a comparison and no selector is found as soon as
// one element of its name compares equal. So the condition holds exactly when
// the value is among those the source collects.
const PathIndex::ValueSource* PathIndex::valueSource(const String& condition) {
  auto known = sources_.find(condition);
  if (known != sources_.end()) return known->second.get();

  auto source = std::make_unique<ValueSource>();
  bool usable = false;
  if (startsWith(condition, "./")) {
    const ParsedPath sub = parsePath(splitPath(condition.substr(2)));
    usable = !sub.empty();
    for (std::size_t i = 0; usable && i + 1 < sub.size(); ++i) {
      const PathSegment& step = sub[i];
      usable = !step.name.empty() && step.name != "." && step.index >= 0 &&
               step.condition.empty() && step.selector.empty();
      source->steps.emplace_back(step.name, step.index);
    }
    if (usable) {
      const PathSegment& leaf = sub.back();
      usable = !leaf.name.empty() && leaf.name != "." && leaf.index < 0 &&
               leaf.selector.empty() &&
               splitComparison(leaf.condition, source->key, source->value);
      source->leafName = leaf.name;
    }
  } else {
    usable = splitComparison(condition, source->key, source->value);
  }
  if (usable) {
    if (source->key != kTextKey) source->attribute = source->key.substr(1);
    for (const auto& step : source->steps) {
      source->shape += step.first + "[" + std::to_string(step.second) + "]/";
    }
    source->shape += source->leafName + "|" + source->key;
  } else {
    source.reset();
  }
  return sources_.emplace(condition, std::move(source)).first->second.get();
}

void PathIndex::collectValues(pugi::xml_node child, const ValueSource& source,
                              std::vector<const char*>& values) const {
  pugi::xml_node reached = child;
  for (const auto& step : source.steps) {
    reached = nthElementNamed(reached, step.first, step.second);
    if (!reached) return;
  }
  const auto add = [&](pugi::xml_node holder) {
    if (source.attribute.empty()) {
      values.push_back(holder.child_value());
    } else if (const pugi::xml_attribute attribute = holder.attribute(source.attribute.c_str())) {
      values.push_back(attribute.value());
    }
  };
  if (source.leafName.empty()) {
    add(reached);
    return;
  }
  for (pugi::xml_node leaf : reached.children()) {
    if (isElementNamed(leaf, source.leafName)) add(leaf);
  }
}

void PathIndex::expect(const String& name, const String& condition) {
  const ValueSource* source = valueSource(condition);
  if (!source) return;
  Expected& expected = expected_[name][source->shape];
  expected.source = source;
  expected.values.insert(source->value);
}

PathIndex::ValueTable& PathIndex::newTable(pugi::xml_node parent, const String& name,
                                           const ValueSource& source,
                                           const std::unordered_set<String>* only) {
  const String tableKey = tableKeyOf(parent, name, source.shape);
  tables_.erase(tableKey);
  for (auto use = tableUses_.begin(); use != tableUses_.end();) {
    use = use->tableKey == tableKey ? tableUses_.erase(use) : use + 1;
  }
  const bool fromLeaves = !source.leafName.empty();
  tableUses_.push_back(TableUse{parent.internal_object(), source.key,
                                fromLeaves ? source.leafName : name,
                                source.steps.size() + (fromLeaves ? 2 : 1), tableKey});
  ValueTable& table = tables_[tableKey];
  if (only) table.want(*only);
  return table;
}

const PathIndex::ValueTable& PathIndex::valueTable(pugi::xml_node parent, const String& name,
                                                   const ValueSource& source) {
  const NamedChildren& list = namedChildren(parent, name);
  auto known = tables_.find(tableKeyOf(parent, name, source.shape));
  if (known != tables_.end() &&
      (known->second.only.empty() || known->second.only.count(source.value) != 0)) {
    return known->second;
  }
  const std::unordered_set<String>* only = nullptr;
  const auto expected = expected_.find(name);
  if (expected != expected_.end()) {
    const auto shape = expected->second.find(source.shape);
    if (shape != expected->second.end() && shape->second.values.count(source.value) != 0) {
      only = &shape->second.values;
    }
  }
  ValueTable& table = newTable(parent, name, source, only);
  std::vector<const char*> values;
  for (pugi::xml_node child = list.at(0); child; child = NamedChildren::next(child)) {
    values.clear();
    collectValues(child, source, values);
    for (const char* value : values) table.add(value, child);
  }
  return table;
}

bool PathIndex::passing(pugi::xml_node parent, const String& name, const String& condition,
                        std::vector<pugi::xml_node>& children) {
  const ValueSource* source = valueSource(condition);
  if (!source) return false;
  const ValueTable& table = valueTable(parent, name, *source);
  children.clear();
  const auto chain = table.chains.find(source->value);
  for (std::uint32_t link = chain == table.chains.end() ? kEnd : chain->second.first;
       link != kEnd; link = table.links[link].second) {
    children.push_back(table.links[link].first);
  }
  return true;
}

// A write changes the tables whose values come from elements of the holder's
// name at the holder's depth below their parent, under the same key. (The
// steps between are not compared: a table too many is only built again.)
void PathIndex::valueWritten(pugi::xml_node holder, const String& key) {
  for (auto use = tableUses_.begin(); use != tableUses_.end();) {
    pugi::xml_node ancestor = holder;
    for (std::size_t up = 0; ancestor && up < use->depth; ++up) ancestor = ancestor.parent();
    if (ancestor && ancestor.internal_object() == use->parent && use->key == key &&
        use->holderName == holder.name()) {
      tables_.erase(use->tableKey);
      use = tableUses_.erase(use);
    } else {
      ++use;
    }
  }
}

}  // namespace Portals
}  // namespace ORLIX
