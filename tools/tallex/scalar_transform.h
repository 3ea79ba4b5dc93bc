// How one number is made from the components a result stores for an entity:
// a component as it is, the length of a vector, or the von Mises equivalent of
// a stress tensor. Derived scalars are always computed from the stored
// components, so a database cannot hold a magnitude that disagrees with them.
#ifndef TALLEX_SCALAR_TRANSFORM_H
#define TALLEX_SCALAR_TRANSFORM_H

#include <string>
#include <string_view>
#include <vector>

namespace tallex {

enum class ScalarKind {
  Component,  // one component
  Magnitude,  // sqrt of the sum of squares of one or more components
  VonMises,   // plane stress (sxx syy sxy) or full tensor (sxx syy szz sxy syz szx)
};

// The keyword of a kind in the database ("COMPONENT", "MAGNITUDE", "VONMISES").
bool scalarKindFromKeyword(std::string_view keyword, ScalarKind& kind);
const char* scalarKindKeyword(ScalarKind kind);

// Empty when `count` components suit the kind, otherwise why not.
std::string checkComponentCount(ScalarKind kind, std::size_t count);

struct ScalarTransform {
  std::string code;  // what a request names
  std::string name;  // what a person reads
  ScalarKind kind = ScalarKind::Component;
  std::vector<std::size_t> components;  // indexes into the stored components, in the kind's order
};

// `stored` holds all components of one entity; the transform's indexes must
// lie inside it.
double evaluate(const ScalarTransform& transform, const double* stored);

}  // namespace tallex

#endif
