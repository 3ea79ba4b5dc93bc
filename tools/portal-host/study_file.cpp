#include "study_file.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

namespace portalhost {
namespace {

namespace fs = std::filesystem;

std::string text(const Json& object, const char* key, const std::string& where,
                 const std::string& fallback = std::string(), bool required = false) {
  if (!object.contains(key)) {
    if (required) throw StudyError(where + "." + key + ": missing");
    return fallback;
  }
  if (!object[key].is_string()) throw StudyError(where + "." + key + ": must be a text");
  return object[key].get<std::string>();
}

double number(const Json& value, const std::string& where) {
  if (!value.is_number()) throw StudyError(where + ": must be a number");
  return value.get<double>();
}

const Json& object(const Json& parent, const char* key, const std::string& where) {
  if (!parent.contains(key) || !parent[key].is_object()) {
    throw StudyError(where + "." + key + ": missing or not an object");
  }
  return parent[key];
}

std::string absoluteFrom(const std::string& folder, const std::string& path) {
  return fs::path(path).is_absolute() ? path : (fs::path(folder) / path).lexically_normal().string();
}

std::vector<Design> designsFrom(const Json& designs, const std::vector<StudyParameter>& parameters) {
  std::set<std::string> known;
  for (const auto& p : parameters) known.insert(p.name);
  auto checkName = [&](const std::string& name, const std::string& where) {
    if (!known.count(name)) throw StudyError(where + ": \"" + name + "\" is not a parameter of the study");
  };
  std::vector<Design> result;
  if (designs.contains("list")) {
    if (!designs["list"].is_array()) throw StudyError("designs.list: must be a list");
    for (std::size_t i = 0; i < designs["list"].size(); ++i) {
      const Json& entry = designs["list"][i];
      const std::string where = "designs.list[" + std::to_string(i) + "]";
      if (!entry.is_object()) throw StudyError(where + ": must be an object");
      Design design;
      for (const auto& item : entry.items()) {
        checkName(item.key(), where);
        design[item.key()] = number(item.value(), where + "." + item.key());
      }
      if (design.size() != known.size()) throw StudyError(where + ": needs a value for every parameter");
      result.push_back(design);
    }
  } else if (designs.contains("grid")) {
    std::vector<std::pair<std::string, std::vector<double>>> levels;
    for (const auto& p : parameters) {
      const std::string where = "designs.grid." + p.name;
      if (!designs["grid"].contains(p.name) || !designs["grid"][p.name].is_array() ||
          designs["grid"][p.name].empty()) {
        throw StudyError(where + ": needs a non-empty list of levels");
      }
      std::vector<double> values;
      for (const Json& v : designs["grid"][p.name]) values.push_back(number(v, where));
      levels.emplace_back(p.name, values);
    }
    result = fullFactorial(levels);
  } else if (designs.contains("latinHypercube")) {
    const Json& lhs = designs["latinHypercube"];
    const std::string where = "designs.latinHypercube";
    if (!lhs.is_object() || !lhs.contains("count") || !lhs["count"].is_number_integer() ||
        lhs["count"].get<int>() < 1) {
      throw StudyError(where + ".count: needs a whole number of at least 1");
    }
    std::vector<std::pair<std::string, std::pair<double, double>>> ranges;
    for (const auto& p : parameters) {
      const std::string at = where + ".ranges." + p.name;
      if (!lhs.contains("ranges") || !lhs["ranges"].contains(p.name) || !lhs["ranges"][p.name].is_array() ||
          lhs["ranges"][p.name].size() != 2) {
        throw StudyError(at + ": needs [low, high]");
      }
      const double low = number(lhs["ranges"][p.name][0], at);
      const double high = number(lhs["ranges"][p.name][1], at);
      if (!(low <= high)) throw StudyError(at + ": low is above high");
      ranges.emplace_back(p.name, std::make_pair(low, high));
    }
    const unsigned long long seed =
        lhs.contains("seed") && lhs["seed"].is_number_unsigned() ? lhs["seed"].get<unsigned long long>() : 1;
    result = latinHypercube(ranges, lhs["count"].get<int>(), seed);
  } else {
    throw StudyError("designs: needs one of \"list\", \"grid\" or \"latinHypercube\"");
  }
  if (result.empty()) throw StudyError("designs: the study has no designs");
  return result;
}

}  // namespace

std::vector<Design> fullFactorial(const std::vector<std::pair<std::string, std::vector<double>>>& levels) {
  std::vector<Design> designs(1);
  for (const auto& [name, values] : levels) {
    std::vector<Design> next;
    for (const Design& partial : designs) {
      for (double value : values) {
        Design design = partial;
        design[name] = value;
        next.push_back(design);
      }
    }
    designs.swap(next);
  }
  return designs;
}

std::vector<Design> latinHypercube(const std::vector<std::pair<std::string, std::pair<double, double>>>& ranges,
                                   int count, unsigned long long seed) {
  // The engine's output is fixed by the standard; turning it into numbers is
  // done here, so the same seed gives the same designs with every library.
  std::mt19937_64 engine(seed);
  auto unit = [&engine] { return static_cast<double>(engine() >> 11) * 0x1.0p-53; };
  std::vector<Design> designs(static_cast<std::size_t>(count));
  for (const auto& [name, range] : ranges) {
    std::vector<int> strata(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) strata[static_cast<std::size_t>(i)] = i;
    for (int i = count - 1; i > 0; --i) {
      const int j = static_cast<int>(engine() % static_cast<std::uint64_t>(i + 1));
      std::swap(strata[static_cast<std::size_t>(i)], strata[static_cast<std::size_t>(j)]);
    }
    for (int i = 0; i < count; ++i) {
      const double position = (strata[static_cast<std::size_t>(i)] + unit()) / count;
      designs[static_cast<std::size_t>(i)][name] = range.first + position * (range.second - range.first);
    }
  }
  return designs;
}

Study studyFromJson(const Json& json, const std::string& folder, const std::string& file) {
  if (!json.is_object()) throw StudyError("the study must be a JSON object");
  Study study;
  study.studyFile = file;
  study.name = text(json, "name", "study", fs::path(file).stem().string());
  study.deck = absoluteFrom(folder, text(json, "deck", "study", "", true));
  study.solver = text(json, "solver", "study", "brisol");
  study.modules = text(json, "modules", "study", "static");
  for (const auto& item : object(json, "parameters", "study").items()) {
    const std::string where = "parameters." + item.key();
    if (!item.value().is_object()) throw StudyError(where + ": must be an object");
    StudyParameter p{item.key(), text(item.value(), "group", where, "ABRE"),
                     text(item.value(), "abbreviation", where, "", true), text(item.value(), "format", where, "")};
    study.parameters.push_back(p);
  }
  if (study.parameters.empty()) throw StudyError("parameters: the study varies nothing");
  for (const auto& item : object(json, "responses", "study").items()) {
    const std::string where = "responses." + item.key();
    if (!item.value().is_object()) throw StudyError(where + ": must be an object");
    StudyResponse r{item.key(), {}};
    for (const auto& attribute : item.value().items()) {
      if (!attribute.value().is_string()) throw StudyError(where + "." + attribute.key() + ": must be a text");
      r.attributes.emplace_back(attribute.key(), attribute.value().get<std::string>());
    }
    study.responses.push_back(r);
  }
  study.designs = designsFrom(object(json, "designs", "study"), study.parameters);
  return study;
}

Study loadStudy(const std::string& path) {
  const std::string file = fs::absolute(path).lexically_normal().string();
  std::ifstream in(file, std::ios::binary);
  if (!in) throw StudyError(path + ": cannot be read");
  Json json;
  try {
    json = Json::parse(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  } catch (const Json::parse_error& error) {
    throw StudyError(path + ": not valid JSON: " + error.what());
  }
  Study study = studyFromJson(json, fs::path(file).parent_path().string(), file);
  if (!fs::is_regular_file(study.deck)) throw StudyError("deck: " + study.deck + " does not exist");
  return study;
}

}  // namespace portalhost
