// The designs of a study, made one at a time as the study runs: a grid of
// 10^9 designs costs no more memory than one of four.
#ifndef PORTAL_HOST_STUDY_DESIGN_SPACE_H
#define PORTAL_HOST_STUDY_DESIGN_SPACE_H

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace portalhost {

// One design: a value per parameter, in the study's parameter order.
using Design = std::vector<std::pair<std::string, double>>;

class DesignSpace {
 public:
  // The largest Latin hypercube we build: its strata are held in memory.
  static constexpr std::uint64_t kMostHypercubeDesigns = 10'000'000;

  DesignSpace() = default;
  static DesignSpace list(std::vector<Design> designs);
  // Every combination of the levels; the last parameter varies fastest.
  // Throws std::overflow_error when the combinations cannot be counted in 64 bits.
  static DesignSpace grid(std::vector<std::pair<std::string, std::vector<double>>> levels);
  // `count` designs; each parameter's range is cut into `count` strata with one
  // sample in each, the strata paired at random. The same seed gives the same
  // designs on every machine.
  static DesignSpace latinHypercube(const std::vector<std::pair<std::string, std::pair<double, double>>>& ranges,
                                    std::uint64_t count, std::uint64_t seed);

  std::uint64_t size() const { return size_; }
  // Design `index` (from 0); index < size().
  Design at(std::uint64_t index) const;

 private:
  enum class Kind { List, Grid } kind_ = Kind::List;
  std::uint64_t size_ = 0;
  std::vector<Design> designs_;                                       // List
  std::vector<std::pair<std::string, std::vector<double>>> levels_;  // Grid
};

}  // namespace portalhost

#endif
