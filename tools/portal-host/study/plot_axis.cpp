#include "study/plot_axis.h"

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace portalhost {
namespace {

// Beyond these magnitudes fixed-point labels get long ("1000000",
// "0.00002"); an exponent keeps them short.
constexpr double kLargestFixed = 1e6;
constexpr double kSmallestFixed = 1e-3;
// A tick step finer than this share of the values' magnitude cannot be told
// apart in a double: such data gets only its two ends as ticks.
constexpr double kFinestRelativeStep = 1e-13;

// Printed with the digits of the finest tick, most labels end in zeros that
// say nothing: "1.0" reads as "1", "2.50e+06" as "2.5e+06".
std::string withoutTrailingZeros(const char* text) {
  std::string s(text);
  const auto e = std::min(s.find('e'), s.size());
  std::string mantissa = s.substr(0, e);
  if (mantissa.find('.') != std::string::npos) {
    while (mantissa.back() == '0') mantissa.pop_back();
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  return mantissa + s.substr(e);
}

// `value` rounded to the decimal digit 10^stepExponent, the finest the
// step needs.
std::string tickLabel(double value, int stepExponent, bool exponentForm) {
  if (value == 0) return "0";
  char text[64];
  if (exponentForm) {
    const int valueExponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int digits = std::clamp(valueExponent - stepExponent, 0, 16);
    std::snprintf(text, sizeof text, "%.*e", digits, value);
  } else {
    std::snprintf(text, sizeof text, "%.*f", std::clamp(-stepExponent, 0, 16), value);
  }
  return withoutTrailingZeros(text);
}

// A short label for an axis whose ticks are not round numbers; the shortest
// exact text when six digits cannot tell it from its neighbour.
std::string plainLabel(double value, double other) {
  char text[32], otherText[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  std::snprintf(otherText, sizeof otherText, "%.6g", other);
  if (value == other || std::string(text) != otherText) return text;
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

// The two ends as the only ticks: for data where round steps cannot work
// (denormal spans, steps below a double's resolution, ends past the largest double).
Axis endsOnly(double low, double high) {
  Axis axis{low, high, {}};
  axis.ticks.push_back({low, plainLabel(low, high)});
  if (high != low) axis.ticks.push_back({high, plainLabel(high, low)});
  return axis;
}

}  // namespace

Axis niceAxis(double low, double high, int wanted) {
  if (!std::isfinite(low) && !std::isfinite(high)) low = high = 0;
  if (!std::isfinite(low)) low = high;
  if (!std::isfinite(high)) high = low;
  if (low > high) std::swap(low, high);
  wanted = std::clamp(wanted, 2, 20);

  if (low == high) {
    const double value = low;
    // A tenth of a tiny value is below what round steps can reach.
    const double margin = value == 0 ? 1 : std::max(std::fabs(value) * 0.1, 1e-300);
    low = value - margin;
    high = value + margin;
    // Near the largest double one side overflows: keep the value as that end.
    if (!std::isfinite(low)) low = value;
    if (!std::isfinite(high)) high = value;
  }

  // Halves first, so that a span past the largest double stays finite.
  const double span = high / 2 - low / 2;
  const double raw = span / (wanted - 1) * 2;
  if (!(raw > 0) || !std::isfinite(raw) || raw < DBL_MIN) return endsOnly(low, high);
  int exponent = static_cast<int>(std::floor(std::log10(raw)));
  const double scaled = raw / std::pow(10.0, exponent);
  int factor = scaled < 1.5 ? 1 : scaled < 3.5 ? 2 : scaled < 7.5 ? 5 : 10;
  if (factor == 10) factor = 1, ++exponent;
  // Steps below 1 divide by an exact power of ten: 3 steps of 0.1 are 0.3,
  // not 0.30000000000000004.
  const double power = std::pow(10.0, std::abs(exponent));
  const double step = exponent < 0 ? factor / power : factor * power;
  const double magnitude = std::max(std::fabs(low), std::fabs(high));
  if (!std::isfinite(step) || step == 0 || step < magnitude * kFinestRelativeStep) return endsOnly(low, high);

  const auto at = [&](double multiple) {
    const double value = exponent < 0 ? multiple * factor / power : multiple * factor * power;
    return value == 0 ? 0.0 : value;
  };
  // low / step rounds: 1000.002 / 0.002 is a hair below 500001, yet the
  // tick 500001 * 0.002 is 1000.002 itself.
  double first = std::floor(low / step);
  double last = std::ceil(high / step);
  if (at(first + 1) <= low) ++first;
  if (at(last - 1) >= high) --last;
  if (!std::isfinite(at(first)) || !std::isfinite(at(last))) return endsOnly(low, high);
  const double count = last - first + 1;
  // The step came from the span, so this holds; it guards the loop below all the same.
  if (!(count >= 2 && count <= 4.0 * wanted)) return endsOnly(low, high);

  const double largest = std::max(std::fabs(at(first)), std::fabs(at(last)));
  const bool exponentForm = largest >= kLargestFixed || largest < kSmallestFixed;
  Axis axis{at(first), at(last), {}};
  for (int i = 0; i < static_cast<int>(count); ++i) {
    const double value = at(first + i);
    axis.ticks.push_back({value, tickLabel(value, exponent, exponentForm)});
  }
  return axis;
}

}  // namespace portalhost
