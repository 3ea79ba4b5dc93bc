#include "beam_element.h"

namespace brisol {

ElementMatrix elementStiffness(double bendingStiffness, double length) {
  const double l = length;
  const double k = bendingStiffness / (l * l * l);
  return {{{12 * k, 6 * l * k, -12 * k, 6 * l * k},
           {6 * l * k, 4 * l * l * k, -6 * l * k, 2 * l * l * k},
           {-12 * k, -6 * l * k, 12 * k, -6 * l * k},
           {6 * l * k, 2 * l * l * k, -6 * l * k, 4 * l * l * k}}};
}

ElementMatrix elementMass(double massPerLength, double length) {
  const double l = length;
  const double m = massPerLength * l / 420.0;
  return {{{156 * m, 22 * l * m, 54 * m, -13 * l * m},
           {22 * l * m, 4 * l * l * m, 13 * l * m, -3 * l * l * m},
           {54 * m, 13 * l * m, 156 * m, -22 * l * m},
           {-13 * l * m, -3 * l * l * m, -22 * l * m, 4 * l * l * m}}};
}

PreciseVector elementForces(long double bendingStiffness, long double length, const PreciseVector& freedoms) {
  const long double l = length;
  const long double k = bendingStiffness / (l * l * l);
  const long double s = (freedoms[0] - freedoms[2]) + l * (freedoms[1] + freedoms[3]) / 2;
  const long double t = freedoms[1] - freedoms[3];
  return {12 * k * s, 6 * k * l * s + k * l * l * t, -12 * k * s, 6 * k * l * s - k * l * l * t};
}

// The shape functions' second derivatives, regrouped into the misfit form of
// elementForces: w'' = (12 xi - 6) s / l^2 - t / l. Rigid motion drops out
// exactly instead of cancelling between large terms.
double elementCurvature(const ElementVector& freedoms, double length, double xi) {
  const long double l = length;
  const long double s = (static_cast<long double>(freedoms[0]) - freedoms[2]) +
                        l * (static_cast<long double>(freedoms[1]) + freedoms[3]) / 2;
  const long double t = static_cast<long double>(freedoms[1]) - freedoms[3];
  return static_cast<double>((12 * static_cast<long double>(xi) - 6) * s / (l * l) - t / l);
}

}  // namespace brisol
