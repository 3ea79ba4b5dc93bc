#include "study/design_space.h"

#include <random>
#include <stdexcept>

namespace portalhost {

DesignSpace DesignSpace::list(std::vector<Design> designs) {
  DesignSpace space;
  space.kind_ = Kind::List;
  space.size_ = designs.size();
  space.designs_ = std::move(designs);
  return space;
}

DesignSpace DesignSpace::grid(std::vector<std::pair<std::string, std::vector<double>>> levels) {
  DesignSpace space;
  space.kind_ = Kind::Grid;
  std::uint64_t size = 1;
  for (const auto& [name, values] : levels) {
    if (values.empty()) {
      size = 0;
      continue;
    }
    if (size > UINT64_MAX / values.size()) throw std::overflow_error("the grid has more designs than can be counted");
    size *= values.size();
  }
  space.size_ = size;
  space.levels_ = std::move(levels);
  return space;
}

DesignSpace DesignSpace::latinHypercube(
    const std::vector<std::pair<std::string, std::pair<double, double>>>& ranges, std::uint64_t count,
    std::uint64_t seed) {
  if (count > kMostHypercubeDesigns) throw std::length_error("too many designs for a Latin hypercube");
  // The engine's output is fixed by the C++ standard; turning it into numbers
  // is done here, so the designs do not depend on the standard library.
  std::mt19937_64 engine(seed);
  auto unit = [&engine] { return static_cast<double>(engine() >> 11) * 0x1.0p-53; };
  const std::size_t n = static_cast<std::size_t>(count);
  std::vector<Design> designs(n);
  std::vector<std::uint64_t> strata(n);
  for (const auto& [name, range] : ranges) {
    for (std::size_t i = 0; i < n; ++i) strata[i] = i;
    for (std::size_t i = n; i > 1; --i) {
      const std::size_t j = static_cast<std::size_t>(engine() % i);
      std::swap(strata[i - 1], strata[j]);
    }
    for (std::size_t i = 0; i < n; ++i) {
      const double position = (static_cast<double>(strata[i]) + unit()) / static_cast<double>(n);
      // Weighted this way, the sample stays finite even when high - low is not.
      designs[i].emplace_back(name, range.first * (1 - position) + range.second * position);
    }
  }
  return list(std::move(designs));
}

Design DesignSpace::at(std::uint64_t index) const {
  if (index >= size_) throw std::out_of_range("no design " + std::to_string(index + 1));
  if (kind_ == Kind::List) return designs_[static_cast<std::size_t>(index)];
  Design design(levels_.size());
  for (std::size_t p = levels_.size(); p-- > 0;) {
    const auto& [name, values] = levels_[p];
    design[p] = {name, values[static_cast<std::size_t>(index % values.size())]};
    index /= values.size();
  }
  return design;
}

}  // namespace portalhost
