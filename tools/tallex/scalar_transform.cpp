#include "scalar_transform.h"

#include <algorithm>
#include <cmath>

namespace tallex {

bool scalarKindFromKeyword(std::string_view keyword, ScalarKind& kind) {
  if (keyword == "COMPONENT") {
    kind = ScalarKind::Component;
  } else if (keyword == "MAGNITUDE") {
    kind = ScalarKind::Magnitude;
  } else if (keyword == "VONMISES") {
    kind = ScalarKind::VonMises;
  } else {
    return false;
  }
  return true;
}

const char* scalarKindKeyword(ScalarKind kind) {
  switch (kind) {
    case ScalarKind::Component:
      return "COMPONENT";
    case ScalarKind::Magnitude:
      return "MAGNITUDE";
    case ScalarKind::VonMises:
      return "VONMISES";
  }
  return "?";
}

std::string checkComponentCount(ScalarKind kind, std::size_t count) {
  switch (kind) {
    case ScalarKind::Component:
      if (count != 1) return "COMPONENT takes exactly one component, found " + std::to_string(count);
      break;
    case ScalarKind::Magnitude:
      if (count < 1) return "MAGNITUDE takes at least one component";
      break;
    case ScalarKind::VonMises:
      if (count != 3 && count != 6)
        return "VONMISES takes 3 components (sxx syy sxy) or 6 (sxx syy szz sxy syz szx), found " +
               std::to_string(count);
      break;
  }
  return {};
}

namespace {

double vonMises(const ScalarTransform& t, const double* s) {
  const double sxx = s[t.components[0]];
  const double syy = s[t.components[1]];
  if (t.components.size() == 3) {
    const double sxy = s[t.components[2]];
    // Never negative in exact arithmetic; rounding must not turn it into a NaN.
    return std::sqrt(std::max(0.0, sxx * sxx - sxx * syy + syy * syy + 3.0 * sxy * sxy));
  }
  const double szz = s[t.components[2]];
  const double sxy = s[t.components[3]];
  const double syz = s[t.components[4]];
  const double szx = s[t.components[5]];
  const double normal = (sxx - syy) * (sxx - syy) + (syy - szz) * (syy - szz) + (szz - sxx) * (szz - sxx);
  return std::sqrt(0.5 * normal + 3.0 * (sxy * sxy + syz * syz + szx * szx));
}

}  // namespace

double evaluate(const ScalarTransform& transform, const double* stored) {
  switch (transform.kind) {
    case ScalarKind::Component:
      return stored[transform.components[0]];
    case ScalarKind::Magnitude: {
      double sum = 0.0;
      for (std::size_t index : transform.components) sum += stored[index] * stored[index];
      return std::sqrt(sum);
    }
    case ScalarKind::VonMises:
      return vonMises(transform, stored);
  }
  return 0.0;
}

}  // namespace tallex
