#include "modal_analysis.h"

#include <cmath>

#include "band_solver.h"
#include "beam_analysis.h"

namespace brisol {
namespace {

constexpr double kPi = 3.14159265358979323846;
// The Rayleigh quotient converges with the square of the shape's error, so an
// eigenvalue this settled carries a shape good to about 1e-6; a tighter test
// could wait for ever on rounding noise.
constexpr double kTolerance = 1e-12;

double dot(const std::vector<double>& a, const std::vector<double>& b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += a[i] * b[i];
  return sum;
}

// Removes the components along the modes already found (M-orthonormal), so the
// iteration converges to the lowest mode not yet known. Each step deflates
// again, which mops up what one pass leaves behind.
void deflate(std::vector<double>& x, const BandMatrix& mass, const std::vector<std::vector<double>>& found) {
  if (found.empty()) return;
  const std::vector<double> massX = mass.multiply(x);
  for (const std::vector<double>& phi : found) {
    const double along = dot(phi, massX);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] -= along * phi[i];
  }
}

// A start with a share of every mode: a smooth or symmetric one could miss some.
std::vector<double> startVector(std::size_t size, std::size_t mode) {
  std::vector<double> x(size);
  unsigned state = 12345u + 977u * static_cast<unsigned>(mode);
  for (double& value : x) {
    state = state * 1103515245u + 12345u;
    value = 0.5 + static_cast<double>((state >> 8) & 0xffff) / 65536.0;
  }
  return x;
}

Mode shapeOf(const BeamModel& model, const std::vector<double>& phi, double eigenvalue) {
  Mode mode;
  mode.frequency = std::sqrt(eigenvalue) / (2 * kPi);
  mode.deflection.assign(model.nodes(), 0.0);
  mode.slope.assign(model.nodes(), 0.0);
  double largest = 0;
  for (int node = 1; node < model.nodes(); ++node) {
    mode.deflection[node] = phi[deflectionIndex(model, node)];
    mode.slope[node] = phi[deflectionIndex(model, node) + 1];
    if (std::abs(mode.deflection[node]) > std::abs(largest)) largest = mode.deflection[node];
  }
  if (largest != 0) {
    for (int node = 0; node < model.nodes(); ++node) {
      mode.deflection[node] /= largest;
      mode.slope[node] /= largest;
    }
  }
  return mode;
}

}  // namespace

// Inverse iteration with deflation: each step solves K z = M x, which
// magnifies the lowest remaining mode by the ratio of its neighbours'
// eigenvalues, and the cantilever's frequencies lie well apart.
bool solveModal(const BeamModel& model, std::vector<Mode>& modes, std::string& why) {
  const BandMatrix mass = assembleMass(model);
  StiffnessSolver stiffness;
  if (!stiffness.factor(model, why)) return false;
  std::size_t failedRow = 0;
  BandCholesky massCheck;
  if (!massCheck.factor(mass, failedRow)) {
    why = "the mass matrix is not positive definite at node " + std::to_string(model.nodes() - failedRow / 2);
    return false;
  }
  modes.clear();
  std::vector<std::vector<double>> found;
  for (int k = 0; k < model.modes; ++k) {
    std::vector<double> x = startVector(mass.size(), static_cast<std::size_t>(k));
    deflate(x, mass, found);
    x = mass.multiply(x);  // any scale will do; the first step normalises
    double eigenvalue = 0;
    int iterations = 0;
    bool converged = false;
    std::vector<double> z;
    for (int iteration = 1; iteration <= kMaxModalIterations; ++iteration) {
      z = x;
      stiffness.solve(z);  // z = K^-1 M x_old, with x holding M x_old
      deflate(z, mass, found);
      const std::vector<double> massZ = mass.multiply(z);
      const double zMz = dot(z, massZ);
      // K z = M x_old, so z^T K z = z^T (M x_old): the Rayleigh quotient needs no K product.
      const double next = dot(z, x) / zMz;
      const double scale = 1.0 / std::sqrt(zMz);
      for (std::size_t i = 0; i < z.size(); ++i) x[i] = massZ[i] * scale;
      for (double& value : z) value *= scale;
      converged = iteration > 1 && std::abs(next - eigenvalue) <= kTolerance * next;
      eigenvalue = next;
      iterations = iteration;
      if (converged) break;
    }
    if (!std::isfinite(eigenvalue) || !(eigenvalue > 0)) {
      why = "the frequency of mode " + std::to_string(k + 1) + " is out of range";
      return false;
    }
    Mode mode = shapeOf(model, z, eigenvalue);
    mode.iterations = iterations;
    mode.converged = converged;
    modes.push_back(std::move(mode));
    found.push_back(std::move(z));
  }
  return true;
}

}  // namespace brisol
