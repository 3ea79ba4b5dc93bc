// The cubic Hermite beam element of Euler-Bernoulli theory. Its freedoms, in
// order: deflection w and slope dw/dx at the first node, then at the second.
// With these shape functions a tip-loaded cantilever is exact at the nodes.
#ifndef BRISOL_BEAM_ELEMENT_H
#define BRISOL_BEAM_ELEMENT_H

#include <array>

namespace brisol {

using ElementMatrix = std::array<std::array<double, 4>, 4>;
using ElementVector = std::array<double, 4>;

// EI: bending stiffness (N mm^2); l: element length (mm).
ElementMatrix elementStiffness(double bendingStiffness, double length);

// The consistent mass matrix, from the same shape functions as the stiffness;
// massPerLength = rho A (t/mm).
ElementMatrix elementMass(double massPerLength, double length);

// The element's nodal forces K d, written with the chord misfit
// s = w1 - w2 + l (slope1 + slope2) / 2 and the slope difference t = slope1 - slope2,
// both zero under rigid motion. Written this way, rounding cannot make a rigid
// motion cost force, which is what the refined solution needs from its residual.
// In long double for the same reason.
using PreciseVector = std::array<long double, 4>;
PreciseVector elementForces(long double bendingStiffness, long double length, const PreciseVector& freedoms);

// Curvature w'' at the fraction xi (0 at the first node, 1 at the second) of an
// element with nodal freedoms `freedoms`; it varies linearly along the element.
double elementCurvature(const ElementVector& freedoms, double length, double xi);

}  // namespace brisol

#endif
