// One scatter plot as an SVG element: round ticks with labels that are not
// clipped and do not collide, the axis names, and "no data" across a plot
// that has no points. No scripts, nothing fetched.
#ifndef PORTAL_HOST_STUDY_SCATTER_SVG_H
#define PORTAL_HOST_STUDY_SCATTER_SVG_H

#include <string>
#include <utility>
#include <vector>

namespace portalhost {

// Points that are not finite are left out.
std::string scatterSvg(const std::string& xLabel, const std::string& yLabel,
                       const std::vector<std::pair<double, double>>& points);

}  // namespace portalhost

#endif
