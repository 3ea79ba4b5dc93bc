// The model a deck describes: a cantilever of rectangular cross-section,
// clamped at x = 0 and loaded at its tip, cut into equal beam elements.
// Units are consistent millimetre-tonne-second ones: mm, N, MPa, t/mm^3, s.
#ifndef BRISOL_BEAM_MODEL_H
#define BRISOL_BEAM_MODEL_H

#include <string>
#include <vector>

#include "deck_reader.h"

namespace brisol {

enum class Module { Static, Modal };

const char* moduleName(Module module);

struct BeamModel {
  double length = 0;   // mm
  double width = 0;    // mm, across the load
  double height = 0;   // mm, along the load
  double young = 0;    // MPa
  double load = 0;     // N at the tip, positive downward (towards -Z)
  double density = 0;  // t/mm^3; read only when the modal module runs
  int elements = 0;
  int modes = 0;                // frequencies the modal module finds
  std::vector<Module> modules;  // in the deck's order, each once

  double area() const { return width * height; }
  double inertia() const { return width * height * height * height / 12.0; }
  double elementLength() const { return length / elements; }
  int nodes() const { return elements + 1; }
  bool runs(Module module) const;
};

// The refined solution stays good to rounding up to about 3e5 elements; a
// tip-loaded cantilever is exact with one.
constexpr int kMaxElements = 100000;
constexpr int kDefaultModes = 3;
// Inverse iteration slows down as neighbouring frequencies draw together.
constexpr int kMaxModes = 20;

// Every problem of the deck, not just the first, so one run tells the user all
// that is wrong. `model` is complete only when `errors` stays empty.
void buildModel(const Deck& deck, BeamModel& model, std::vector<std::string>& errors,
                std::vector<std::string>& warnings);

// The shortest text that reads back as the same double ("0.1", "-0.004", "1e+20").
std::string formatNumber(double value);

}  // namespace brisol

#endif
