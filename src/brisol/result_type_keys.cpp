#include "brisol/result_type_keys.h"

#include "portal/text.h"

namespace ORLIX {
namespace Portals {
namespace {

struct ResultType {
  const char* description;
  bool prefix;  // the text need only begin with the description
  const char* key;
};

// Tried in this order.
const ResultType kResultTypes[] = {
    {"Element Length", false, "length"},
    {"Element Mass", false, "mass"},
    {"Element Surface", false, "surface"},
    {"Element Volume", false, "volume"},
    {"Force vector", false, "forceVector"},
    {"Frequency", false, "frequency"},
    {"Generalized mass", false, "genMass"},
    {"Kinetic energy density", false, "kineticEnergyDensity"},
    {"MNT data", true, "mntData"},
    {"Moment", false, "moment"},
    {"Moment vector", false, "momentVector"},
    {"Nodal displacements", true, "disp"},
    {"Nodal rotation", true, "rotation"},
    {"Nodal reaction", false, "reactionForce"},
    {"Normal force", false, "normalForce"},
    {"Normal stress data", true, "normalStressData"},
    {"Percentage of kinetic energy", false, "percentKineticEnergy"},
    {"Potential energy", false, "potentialEnergy"},
    {"Shear force", true, "shearForce"},
    {"Shear stress data", true, "shearStressData"},
    {"2D strain tensor", true, "strain2D"},
    {"Strain energy density", false, "seDensity"},
    {"Strain energy percentage", false, "sePercent"},
    {"Stress tensor", false, "stress"},
};

}  // namespace

String shortResultKey(const String& description) {
  for (const ResultType& type : kResultTypes) {
    if (type.prefix ? startsWith(description, type.description) : description == type.description) {
      return type.key;
    }
  }
  return description;
}

}  // namespace Portals
}  // namespace ORLIX
