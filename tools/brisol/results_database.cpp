#include "results_database.h"

namespace brisol {
namespace {

// Shortest round-trip text, so nothing the solver computed is lost; -0 would
// only puzzle a reader.
std::string number(double value) { return formatNumber(value == 0 ? 0.0 : value); }

void writeNodalHeader(std::ostream& out, const char* nature, const char* name) {
  out << "RESULT \"" << nature << "\" \"" << name << "\"\n"
      << "IDS Node\n"
      << "COMPONENTS UZ RY\n"
      << "SCALAR \"UZ\" \"Translation Z\" COMPONENT UZ\n"
      << "SCALAR \"RY\" \"Rotation Y\" COMPONENT RY\n"
      << "SCALAR \"MAG\" \"Translation magnitude\" MAGNITUDE UZ\n"
      << "SUPPORT \"Node %d\" \"Node\"\n"
      << "SUPPORT \"NODES\" \"All nodes\"\n";
}

// RY is the rotation about +Y, which turns +Z towards +X: minus the slope.
void writeNodalRows(std::ostream& out, const std::vector<double>& deflection, const std::vector<double>& slope) {
  for (std::size_t node = 0; node < deflection.size(); ++node) {
    out << node + 1 << ' ' << number(deflection[node]) << ' ' << number(-slope[node]) << '\n';
  }
}

void writeElementHeader(std::ostream& out, const char* nature, const char* name, const char* component,
                        const char* componentName) {
  out << "RESULT \"" << nature << "\" \"" << name << "\"\n"
      << "IDS Element Node\n"
      << "COMPONENTS " << component << '\n'
      << "SCALAR \"" << component << "\" \"" << componentName << "\" COMPONENT " << component << '\n'
      << "SUPPORT \"Element %d\" \"Element\"\n"
      << "SUPPORT \"Element %d Node %d\" \"Element node\"\n"
      << "SUPPORT \"ELEMENTS\" \"All elements\"\n";
}

void writeStatic(std::ostream& out, const BeamModel& model, const StaticResult& result) {
  writeNodalHeader(out, "DISP", "Nodal displacements");
  out << "STEP TIME 1\n";
  writeNodalRows(out, result.deflection, result.slope);
  out << "END\n";

  writeElementHeader(out, "BEND", "Bending moments", "MY", "Bending moment");
  out << "STEP TIME 1\n";
  for (std::size_t e = 0; e < result.moment.size(); ++e) {
    for (int end = 0; end < 2; ++end)
      out << e + 1 << ' ' << e + 1 + end << ' ' << number(result.moment[e][end]) << '\n';
  }
  out << "END\n";

  writeElementHeader(out, "STRS", "Bending stresses", "SXX", "Axial stress");
  out << "SELECTION \"TOP\" \"Top fibre\"\n"
      << "SELECTION \"BOT\" \"Bottom fibre\"\n";
  for (const bool top : {true, false}) {
    out << "STEP TIME 1 SELECTION \"" << (top ? "TOP" : "BOT") << "\"\n";
    for (std::size_t e = 0; e < result.moment.size(); ++e) {
      for (int end = 0; end < 2; ++end) {
        out << e + 1 << ' ' << e + 1 + end << ' ' << number(fibreStress(model, result.moment[e][end], top)) << '\n';
      }
    }
  }
  out << "END\n";
}

// One coded step per mode, so a request picks a single frequency by its reference.
void writeModal(std::ostream& out, const std::vector<Mode>& modes) {
  out << "RESULT \"FREQ\" \"Natural frequencies\"\n"
      << "IDS Mode\n"
      << "COMPONENTS F\n"
      << "SCALAR \"F\" \"Frequency (Hz)\" COMPONENT F\n"
      << "SUPPORT \"MODES\" \"All modes\"\n";
  for (std::size_t k = 0; k < modes.size(); ++k) {
    out << "STEP \"MODE" << k + 1 << "\" \"Mode " << k + 1 << "\"\n"
        << k + 1 << ' ' << number(modes[k].frequency) << '\n';
  }
  out << "END\n";

  writeNodalHeader(out, "MODE", "Mode shapes");
  for (std::size_t k = 0; k < modes.size(); ++k) {
    out << "STEP \"MODE" << k + 1 << "\" \"Mode " << k + 1 << "\"\n";
    writeNodalRows(out, modes[k].deflection, modes[k].slope);
  }
  out << "END\n";
}

}  // namespace

void writeDatabase(std::ostream& out, const BeamModel& model, const SolvedResults& results,
                   const std::string& deckName) {
  out << "$$TALLEX_RESULTS 1\n"
      << "! Brisol: " << deckName << ", cantilever of " << model.elements << " beam element(s)\n";
  if (results.statics) writeStatic(out, model, *results.statics);
  if (results.modes) writeModal(out, *results.modes);
}

}  // namespace brisol
