#include "study/design_reader.h"

#include <limits>
#include <stdexcept>

#include "study/key_check.h"
#include "study/study_json.h"

namespace portalhost {
namespace {

std::vector<std::string> namesOf(const std::vector<StudyParameter>& parameters) {
  std::vector<std::string> names;
  for (const StudyParameter& p : parameters) names.push_back(p.name);
  return names;
}

// Every parameter needs an entry and no other key may stand there: an unknown
// name is most likely a misspelt parameter, so it stops the reading.
void expectParameterKeys(const Json& object, const std::vector<std::string>& names, const std::string& where,
                         const char* what) {
  for (const std::string& problem : unknownKeys(object, names, where)) {
    throw StudyError(problem.substr(0, problem.find(": ")) + ": is not a parameter of the study" +
                     problem.substr(problem.find(" (")));
  }
  for (const std::string& name : names) {
    if (!object.contains(name)) throw StudyError(keyPath(where, name) + ": missing (" + what + ")");
  }
}

DesignSpace listed(const Json& list, const std::vector<std::string>& names) {
  if (!list.is_array()) throw StudyError("designs.list: must be a list of designs");
  std::vector<Design> designs;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string where = "designs.list[" + std::to_string(i) + "]";
    expectObject(list[i], where, "parameter -> value");
    expectParameterKeys(list[i], names, where, "every design gives every parameter");
    Design design;
    for (const std::string& name : names) design.emplace_back(name, number(list[i][name], keyPath(where, name)));
    designs.push_back(design);
  }
  return DesignSpace::list(std::move(designs));
}

DesignSpace grid(const Json& grid, const std::vector<std::string>& names) {
  expectObject(grid, "designs.grid", "parameter -> list of levels");
  expectParameterKeys(grid, names, "designs.grid", "its levels");
  std::vector<std::pair<std::string, std::vector<double>>> levels;
  for (const std::string& name : names) {
    const std::string where = "designs.grid." + name;
    const Json& values = grid[name];
    if (!values.is_array() || values.empty()) throw StudyError(where + ": must be a non-empty list of numbers");
    std::vector<double> numbers;
    for (std::size_t i = 0; i < values.size(); ++i) {
      numbers.push_back(number(values[i], where + "[" + std::to_string(i) + "]"));
    }
    levels.emplace_back(name, numbers);
  }
  try {
    return DesignSpace::grid(std::move(levels));
  } catch (const std::overflow_error&) {
    throw StudyError("designs.grid: has more designs than can be counted (over 1.8e19)");
  }
}

std::uint64_t hypercubeCount(const Json& lhs) {
  const std::string where = "designs.latinHypercube.count";
  if (!lhs.contains("count")) throw StudyError(where + ": missing");
  const Json& count = lhs["count"];
  const std::string most = std::to_string(DesignSpace::kMostHypercubeDesigns);
  if (count.is_number_integer()) {
    const bool negative = !count.is_number_unsigned() && count.get<std::int64_t>() < 0;
    const auto n = negative ? 0 : count.get<std::uint64_t>();
    if (n >= 1 && n <= DesignSpace::kMostHypercubeDesigns) return n;
  } else if (count.is_number_float()) {
    // fall through: negative, zero, fractional or beyond 64 bits
  } else {
    throw StudyError(where + ": must be a whole number");
  }
  throw StudyError(where + ": must be a whole number from 1 to " + most + ", got " + count.dump());
}

DesignSpace hypercube(const Json& lhs, const std::vector<std::string>& names, std::vector<std::string>& problems) {
  const std::string where = "designs.latinHypercube";
  expectObject(lhs, where, "{\"count\", \"seed\", \"ranges\"}");
  const std::vector<std::string> more = unknownKeys(lhs, {"count", "seed", "ranges"}, where);
  problems.insert(problems.end(), more.begin(), more.end());
  const std::uint64_t count = hypercubeCount(lhs);
  std::uint64_t seed = 1;
  if (lhs.contains("seed")) {
    if (!lhs["seed"].is_number_integer() || (!lhs["seed"].is_number_unsigned() && lhs["seed"].get<std::int64_t>() < 0)) {
      throw StudyError(where + ".seed: must be a whole number of at least 0");
    }
    seed = lhs["seed"].get<std::uint64_t>();
  }
  if (!lhs.contains("ranges")) throw StudyError(where + ".ranges: missing");
  const Json& ranges = lhs["ranges"];
  expectObject(ranges, where + ".ranges", "parameter -> [low, high]");
  expectParameterKeys(ranges, names, where + ".ranges", "its [low, high]");
  std::vector<std::pair<std::string, std::pair<double, double>>> bounds;
  for (const std::string& name : names) {
    const std::string at = where + ".ranges." + name;
    if (!ranges[name].is_array() || ranges[name].size() != 2) throw StudyError(at + ": must be [low, high]");
    const double low = number(ranges[name][0], at + "[0]"), high = number(ranges[name][1], at + "[1]");
    if (low > high) throw StudyError(at + ": low is above high");
    bounds.emplace_back(name, std::make_pair(low, high));
  }
  return DesignSpace::latinHypercube(bounds, count, seed);
}

}  // namespace

DesignSpace readDesigns(const Json& study, const std::vector<StudyParameter>& parameters,
                        std::vector<std::string>& problems) {
  if (!study.contains("designs")) throw StudyError("designs: missing");
  const Json& designs = study["designs"];
  expectObject(designs, "designs", "one of \"list\", \"grid\" or \"latinHypercube\"");
  const std::vector<std::string> kinds{"list", "grid", "latinHypercube"};
  const std::vector<std::string> unknown = unknownKeys(designs, kinds, "designs");
  problems.insert(problems.end(), unknown.begin(), unknown.end());
  int given = 0;
  for (const std::string& kind : kinds) given += designs.contains(kind) ? 1 : 0;
  if (given != 1) throw StudyError("designs: needs exactly one of \"list\", \"grid\" or \"latinHypercube\"");
  const std::vector<std::string> names = namesOf(parameters);
  DesignSpace space = designs.contains("list")   ? listed(designs["list"], names)
                      : designs.contains("grid") ? grid(designs["grid"], names)
                                                 : hypercube(designs["latinHypercube"], names, problems);
  if (space.size() == 0) throw StudyError("designs: the study has no designs");
  return space;
}

}  // namespace portalhost
