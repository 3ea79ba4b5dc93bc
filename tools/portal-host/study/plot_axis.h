// Axis ticks a reader can read: round steps (1, 2 or 5 times a power of ten)
// covering the data, labels rounded to the digits the step needs.
#ifndef PORTAL_HOST_STUDY_PLOT_AXIS_H
#define PORTAL_HOST_STUDY_PLOT_AXIS_H

#include <string>
#include <vector>

namespace portalhost {

struct AxisTick {
  double value;
  std::string label;
};

struct Axis {
  double low, high;  // the axis' extent: the first and last tick
  std::vector<AxisTick> ticks;
};

// About `wanted` ticks over [low, high]; a single value or an empty range gets
// an axis around it. Non-finite inputs are ignored by the caller.
Axis niceAxis(double low, double high, int wanted = 5);

}  // namespace portalhost

#endif
