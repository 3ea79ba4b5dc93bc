#include "study/study_digest.h"

#include <cstdint>
#include <cstdio>
#include <fstream>

namespace portalhost {
namespace {

// FNV-1a, 64 bits: a check for change, not for tampering.
class Fnv {
 public:
  void add(const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
      hash_ ^= static_cast<unsigned char>(data[i]);
      hash_ *= 0x100000001b3ULL;
    }
  }
  void add(const std::string& text) { add(text.data(), text.size()); }
  std::string hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash_));
    return text;
  }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

std::string digestOfFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "unreadable";
  Fnv fnv;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) fnv.add(buffer, static_cast<std::size_t>(in.gcount()));
  return fnv.hex();
}

std::string digestOfJson(const Json& json) {
  Fnv fnv;
  fnv.add(json.dump(-1, ' ', false, Json::error_handler_t::replace));
  return fnv.hex();
}

void addEntries(StudyDigest& digest, const std::vector<TaggedFile>& entries) {
  for (const TaggedFile& entry : entries) {
    if (entry.source == TagSource::TagFile) {
      digest.files[entry.where + ".tags"] = digestOfFile(entry.tagFile);
    } else {
      digest.files[entry.where + " inline tags"] = digestOfJson(entry.inlineTags);
    }
  }
}

}  // namespace

StudyDigest digestOf(const LoadedStudy& loaded) {
  const Study& study = loaded.study;
  StudyDigest digest;
  Json designs = Json::object();
  for (const char* key : {"parameters", "responses", "designs"}) {
    if (loaded.source.contains(key)) designs[key] = loaded.source[key];
  }
  digest.designs = digestOfJson(designs);
  if (study.hasDeck()) digest.files[study.deck.placed] = digestOfFile(study.deck.source);
  for (const TaggedFile& input : study.inputs) digest.files[input.file.placed] = digestOfFile(input.file.source);
  for (const PlacedFile& file : study.files) digest.files[file.placed] = digestOfFile(file.source);
  addEntries(digest, study.inputs);
  addEntries(digest, study.outputs);
  return digest;
}

Json digestToJson(const StudyDigest& digest) {
  Json files = Json::object();
  for (const auto& [name, hash] : digest.files) files[name] = hash;
  return Json{{"designs", digest.designs}, {"files", files}};
}

StudyDigest digestFromJson(const Json& json) {
  StudyDigest digest;
  if (json.contains("designs") && json["designs"].is_string()) digest.designs = json["designs"].get<std::string>();
  if (json.contains("files") && json["files"].is_object()) {
    for (const auto& item : json["files"].items()) {
      if (item.value().is_string()) digest.files[item.key()] = item.value().get<std::string>();
    }
  }
  return digest;
}

std::vector<std::string> digestChanges(const StudyDigest& before, const StudyDigest& now) {
  std::vector<std::string> changes;
  if (before.designs != now.designs) changes.push_back("the designs (parameters, responses or levels)");
  for (const auto& [name, hash] : now.files) {
    const auto earlier = before.files.find(name);
    if (earlier == before.files.end()) {
      changes.push_back(name + " (new)");
    } else if (earlier->second != hash) {
      changes.push_back(name);
    }
  }
  for (const auto& [name, hash] : before.files) {
    if (!now.files.count(name)) changes.push_back(name + " (gone)");
  }
  return changes;
}

}  // namespace portalhost
