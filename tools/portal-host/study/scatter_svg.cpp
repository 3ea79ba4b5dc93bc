#include "study/scatter_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "study/html_text.h"
#include "study/plot_axis.h"

namespace portalhost {
namespace {

// The plot's geometry, in pixels. Text is estimated at 6.5 px a character
// at font-size 11: there is no font metric without a browser.
constexpr double kPlotWidth = 300, kPlotHeight = 200;
constexpr double kTop = 12, kBottom = 44;
constexpr double kCharWidth = 6.5;
constexpr double kYTitleSpace = 30;  // the rotated y title and the gap after it
constexpr double kTickGap = 6;

std::string pixels(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

double textWidth(const std::string& text) { return static_cast<double>(characterCount(text)) * kCharWidth; }

// Where a value lands between the axis' ends, 0 to 1. Halves first, so that
// an axis from -1e308 to 1e308 does not overflow.
double fraction(double value, const Axis& axis) {
  const double span = axis.high / 2 - axis.low / 2;
  if (!(span > 0) || !std::isfinite(span)) return 0.5;
  return std::clamp((value / 2 - axis.low / 2) / span, 0.0, 1.0);
}

// Every `stride`-th x label, the smallest stride that keeps neighbours apart.
std::size_t labelStride(const Axis& axis) {
  if (axis.ticks.size() < 2) return 1;
  double widest = 0;
  for (const AxisTick& tick : axis.ticks) widest = std::max(widest, textWidth(tick.label));
  const double spacing = kPlotWidth / static_cast<double>(axis.ticks.size() - 1);
  std::size_t stride = 1;
  while (stride < axis.ticks.size() - 1 && spacing * static_cast<double>(stride) < widest + 8) ++stride;
  return stride;
}
}  // namespace

std::string scatterSvg(const std::string& xLabel, const std::string& yLabel,
                       const std::vector<std::pair<double, double>>& given) {
  std::vector<std::pair<double, double>> points;
  points.reserve(given.size());
  for (const auto& [x, y] : given) {
    if (std::isfinite(x) && std::isfinite(y)) points.emplace_back(x, y);
  }
  const bool data = !points.empty();
  Axis xAxis{0, 0, {}}, yAxis{0, 0, {}};
  if (data) {
    double xMin = points.front().first, xMax = xMin, yMin = points.front().second, yMax = yMin;
    for (const auto& [x, y] : points) {
      xMin = std::min(xMin, x), xMax = std::max(xMax, x);
      yMin = std::min(yMin, y), yMax = std::max(yMax, y);
    }
    xAxis = niceAxis(xMin, xMax, 5);
    yAxis = niceAxis(yMin, yMax, 5);
  }

  double yLabels = 0;
  for (const AxisTick& tick : yAxis.ticks) yLabels = std::max(yLabels, textWidth(tick.label));
  const double firstX = xAxis.ticks.empty() ? 0 : textWidth(xAxis.ticks.front().label);
  const double lastX = xAxis.ticks.empty() ? 0 : textWidth(xAxis.ticks.back().label);
  const double left = std::max(kYTitleSpace + yLabels + kTickGap, firstX / 2 + 4);
  const double right = std::max(12.0, lastX / 2 + 4);
  const double width = left + kPlotWidth + right, height = kTop + kPlotHeight + kBottom;
  const double plotBottom = kTop + kPlotHeight;
  const auto sx = [&](double x) { return left + fraction(x, xAxis) * kPlotWidth; };
  const auto sy = [&](double y) { return plotBottom - fraction(y, yAxis) * kPlotHeight; };

  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + pixels(width) + "\" height=\"" +
                    pixels(height) + "\" viewBox=\"0 0 " + pixels(width) + " " + pixels(height) +
                    "\" font-family=\"sans-serif\" font-size=\"11\">\n";
  svg += "<title>" + escaped(yLabel) + " against " + escaped(xLabel) + "</title>\n";
  svg += "<rect x=\"" + pixels(left) + "\" y=\"" + pixels(kTop) + "\" width=\"" + pixels(kPlotWidth) + "\" height=\"" +
         pixels(kPlotHeight) + "\" fill=\"#fafafa\"/>\n";

  if (!data) {
    svg += "<text x=\"" + pixels(left + kPlotWidth / 2) + "\" y=\"" + pixels(kTop + kPlotHeight / 2 + 4) +
           "\" text-anchor=\"middle\" fill=\"#888\" font-size=\"14\">no data</text>\n";
  } else {
    svg += "<g stroke=\"#e2e2e2\">";
    for (const AxisTick& tick : xAxis.ticks) {
      const std::string x = pixels(sx(tick.value));
      svg +=
          "<line x1=\"" + x + "\" y1=\"" + pixels(kTop) + "\" x2=\"" + x + "\" y2=\"" + pixels(plotBottom + 4) + "\"/>";
    }
    for (const AxisTick& tick : yAxis.ticks) {
      const std::string y = pixels(sy(tick.value));
      svg += "<line x1=\"" + pixels(left - 4) + "\" y1=\"" + y + "\" x2=\"" + pixels(left + kPlotWidth) + "\" y2=\"" +
             y + "\"/>";
    }
    svg += "</g>\n<g text-anchor=\"middle\">";
    const std::size_t stride = labelStride(xAxis);
    for (std::size_t i = 0; i < xAxis.ticks.size(); i += stride) {
      svg += "<text x=\"" + pixels(sx(xAxis.ticks[i].value)) + "\" y=\"" + pixels(plotBottom + 16) + "\">" +
             escaped(xAxis.ticks[i].label) + "</text>";
    }
    svg += "</g>\n<g text-anchor=\"end\">";
    for (const AxisTick& tick : yAxis.ticks) {
      svg += "<text x=\"" + pixels(left - kTickGap) + "\" y=\"" + pixels(sy(tick.value) + 4) + "\">" +
             escaped(tick.label) + "</text>";
    }
    svg += "</g>\n<g fill=\"#1f6fb2\" fill-opacity=\"0.75\">\n";
    for (const auto& [x, y] : points) {
      svg += "<circle cx=\"" + pixels(sx(x)) + "\" cy=\"" + pixels(sy(y)) + "\" r=\"3\"/>\n";
    }
    svg += "</g>\n";
  }

  // The frame last, so that grid lines at the axis' ends do not hide it.
  svg += "<rect x=\"" + pixels(left) + "\" y=\"" + pixels(kTop) + "\" width=\"" + pixels(kPlotWidth) + "\" height=\"" +
         pixels(kPlotHeight) + "\" fill=\"none\" stroke=\"#888\"/>\n";

  // Names longer than their side are cut; the plot's title holds them whole.
  const auto fitting = [](const std::string& name, double room) {
    return clipped(name, static_cast<std::size_t>(std::max(1.0, room / kCharWidth - 1)));
  };
  svg += "<text x=\"" + pixels(left + kPlotWidth / 2) + "\" y=\"" + pixels(height - 8) + "\" text-anchor=\"middle\">" +
         escaped(fitting(xLabel, width)) + "</text>\n";
  svg += "<text transform=\"translate(18," + pixels(kTop + kPlotHeight / 2) +
         ") rotate(-90)\" text-anchor=\"middle\">" + escaped(fitting(yLabel, kPlotHeight + kTop)) + "</text>\n";
  svg += "</svg>";
  return svg;
}

}  // namespace portalhost
