#include "beam_analysis.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "beam_element.h"

namespace brisol {
namespace {

constexpr std::size_t kBandwidth = 3;  // a node couples to its neighbours' two freedoms

BandMatrix assemble(const BeamModel& model, const ElementMatrix& element) {
  BandMatrix matrix(2 * static_cast<std::size_t>(model.elements), kBandwidth);
  for (int e = 0; e < model.elements; ++e) {
    for (int a = 0; a < 4; ++a) {
      const int rowNode = e + a / 2;
      if (rowNode == 0) continue;  // clamped
      for (int b = a; b < 4; ++b) {
        const int columnNode = e + b / 2;
        if (columnNode == 0) continue;
        matrix.add(deflectionIndex(model, rowNode) + a % 2, deflectionIndex(model, columnNode) + b % 2, element[a][b]);
      }
    }
  }
  return matrix;
}

}  // namespace

// Every element is alike, so one element matrix serves the whole beam.
BandMatrix assembleStiffness(const BeamModel& model) {
  return assemble(model, elementStiffness(model.young * model.inertia(), model.elementLength()));
}

BandMatrix assembleMass(const BeamModel& model) {
  return assemble(model, elementMass(model.density * model.area(), model.elementLength()));
}

bool StiffnessSolver::factor(const BeamModel& model, std::string& why) {
  model_ = model;
  std::size_t failedRow = 0;
  if (!cholesky_.factor(assembleStiffness(model), failedRow)) {
    why = "the stiffness matrix is singular at node " + std::to_string(model.nodes() - failedRow / 2);
    return false;
  }
  return true;
}

// f - K u, element by element from the rigid-motion-free element forces.
std::vector<long double> StiffnessSolver::residual(const std::vector<double>& f, const std::vector<double>& u) const {
  std::vector<long double> r(f.begin(), f.end());
  const long double bendingStiffness =
      static_cast<long double>(model_.young) * model_.width * model_.height * model_.height * model_.height / 12;
  const long double l = static_cast<long double>(model_.length) / model_.elements;
  for (int e = 0; e < model_.elements; ++e) {
    PreciseVector freedoms{};
    for (int a = 0; a < 4; ++a) {
      const int node = e + a / 2;
      if (node > 0) freedoms[a] = u[deflectionIndex(model_, node) + a % 2];
    }
    const PreciseVector forces = elementForces(bendingStiffness, l, freedoms);
    for (int a = 0; a < 4; ++a) {
      const int node = e + a / 2;
      if (node > 0) r[deflectionIndex(model_, node) + a % 2] -= forces[a];
    }
  }
  return r;
}

bool StiffnessSolver::solve(std::vector<double>& f) const {
  const std::vector<double> load = f;
  std::vector<double> u = f;
  cholesky_.solve(u);
  double previous = std::numeric_limits<double>::infinity();
  double size = 0;
  double scale = 0;
  for (int step = 0; step < kMaxRefinements; ++step) {
    const std::vector<long double> r = residual(load, u);
    std::vector<double> correction(r.begin(), r.end());
    cholesky_.solve(correction);
    size = 0;
    scale = 0;
    for (std::size_t i = 0; i < u.size(); ++i) {
      u[i] += correction[i];
      size = std::max(size, std::abs(correction[i]));
      scale = std::max(scale, std::abs(u[i]));
    }
    // Done once the corrections reach the rounding of u, or stop shrinking.
    if (size <= 4e-16 * scale || size >= previous) break;
    previous = size;
  }
  f = u;
  return size <= 1e-12 * scale;
}

bool solveStatic(const BeamModel& model, StaticResult& result, std::string& why) {
  StiffnessSolver solver;
  if (!solver.factor(model, why)) return false;
  std::vector<double> u(2 * static_cast<std::size_t>(model.elements), 0.0);
  u[deflectionIndex(model, model.nodes() - 1)] = -model.load;  // positive LOAD pushes the tip towards -Z
  result = StaticResult();
  result.settled = solver.solve(u);
  for (const double value : u) {
    if (!std::isfinite(value)) {
      why = "the displacements are out of range (not finite)";
      return false;
    }
  }

  result.deflection.assign(model.nodes(), 0.0);
  result.slope.assign(model.nodes(), 0.0);
  for (int node = 1; node < model.nodes(); ++node) {
    result.deflection[node] = u[deflectionIndex(model, node)];
    result.slope[node] = u[deflectionIndex(model, node) + 1];
  }
  const double bendingStiffness = model.young * model.inertia();
  const double l = model.elementLength();
  for (int e = 0; e < model.elements; ++e) {
    const ElementVector freedoms = {result.deflection[e], result.slope[e], result.deflection[e + 1],
                                    result.slope[e + 1]};
    result.moment.push_back(
        {bendingStiffness * elementCurvature(freedoms, l, 0.0), bendingStiffness * elementCurvature(freedoms, l, 1.0)});
  }
  return true;
}

// sigma = -M z / I: a sagging moment compresses the top fibre.
double fibreStress(const BeamModel& model, double moment, bool top) {
  const double z = (top ? 0.5 : -0.5) * model.height;
  return -moment * z / model.inertia();
}

}  // namespace brisol
