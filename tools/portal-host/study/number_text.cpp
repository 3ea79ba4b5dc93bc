#include "study/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace portalhost {
namespace {

const char* notFinite(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  return nullptr;
}

}  // namespace

std::string exactNumber(double value) {
  if (const char* name = notFinite(value)) return name;
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string shortNumber(double value) {
  if (const char* name = notFinite(value)) return name;
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

}  // namespace portalhost
