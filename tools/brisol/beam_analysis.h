// Assembly of the cantilever's matrices and the static solution.
// Node k sits at x = k l (node 0 is clamped) and holds the freedoms w and dw/dx.
#ifndef BRISOL_BEAM_ANALYSIS_H
#define BRISOL_BEAM_ANALYSIS_H

#include <array>
#include <string>
#include <vector>

#include "band_solver.h"
#include "beam_model.h"

namespace brisol {

// Where node k's deflection (slope: plus one) sits in the assembled system;
// the clamped node has none. The tip comes first: eliminating from the free
// end rounds a few times less than eliminating from the clamp, which lets the
// refinement below settle for longer beams.
inline std::size_t deflectionIndex(const BeamModel& model, int node) {
  return 2 * static_cast<std::size_t>(model.nodes() - 1 - node);
}

BandMatrix assembleStiffness(const BeamModel& model);
BandMatrix assembleMass(const BeamModel& model);

// Solves K u = f for the assembled stiffness. The factor alone loses about
// n^3 times the rounding for n elements (rounded element matrices let rigid
// motion cost a little force, which a long beam sums up), so each solution is
// refined against a residual that rounding cannot spoil that way.
class StiffnessSolver {
 public:
  // False, with the reason, when the stiffness is not positive definite.
  bool factor(const BeamModel& model, std::string& why);
  // `f` in, u out. False when the refinement did not settle to rounding,
  // which happens only for far more elements than a deck may ask for.
  bool solve(std::vector<double>& f) const;

 private:
  std::vector<long double> residual(const std::vector<double>& f, const std::vector<double>& u) const;

  BeamModel model_;
  BandCholesky cholesky_;
};

constexpr int kMaxRefinements = 8;

struct StaticResult {
  std::vector<double> deflection;  // w per node, mm; negative is downward
  std::vector<double> slope;       // dw/dx per node
  // Bending moment (N mm) at the first and second node of each element,
  // positive when it sags the beam; a downward tip load hogs it.
  std::vector<std::array<double, 2>> moment;
  bool settled = true;  // the solution is good to rounding

  double tipDeflection() const { return deflection.back(); }
};

// False, with the reason, when the system cannot be solved.
bool solveStatic(const BeamModel& model, StaticResult& result, std::string& why);

// Bending stress (MPa) at the top (z = +h/2) or bottom fibre for a moment.
double fibreStress(const BeamModel& model, double moment, bool top);

}  // namespace brisol

#endif
