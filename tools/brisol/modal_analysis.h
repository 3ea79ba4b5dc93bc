// Natural frequencies and mode shapes of the cantilever: the lowest
// eigenpairs of K phi = omega^2 M phi with the consistent mass matrix.
#ifndef BRISOL_MODAL_ANALYSIS_H
#define BRISOL_MODAL_ANALYSIS_H

#include <string>
#include <vector>

#include "beam_model.h"

namespace brisol {

struct Mode {
  double frequency = 0;            // Hz
  std::vector<double> deflection;  // per node, scaled so the largest |w| is +1
  std::vector<double> slope;       // per node, dw/dx in the same scale
  int iterations = 0;
  bool converged = false;
};

// The model's `modes` lowest modes, lowest first. False, with the reason, when
// the stiffness or mass matrix is not positive definite.
bool solveModal(const BeamModel& model, std::vector<Mode>& modes, std::string& why);

constexpr int kMaxModalIterations = 10000;

}  // namespace brisol

#endif
