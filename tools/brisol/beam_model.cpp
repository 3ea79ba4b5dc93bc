#include "beam_model.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace brisol {
namespace {

// A stockier beam shears noticeably, which this beam theory leaves out.
constexpr double kStockySlenderness = 10.0;

std::string_view trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Decks are written by programs: '.' is the only decimal separator, whatever
// the locale, and the whole text must be the number.
bool readNumber(std::string_view text, double& value) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty() || text.front() == '+') return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

class ModelReader {
 public:
  ModelReader(const Deck& deck, std::vector<std::string>& errors) : deck_(deck), errors_(errors) {}

  // Null when the abbreviation is missing or unreadable; the error is recorded.
  const Abbreviation* number(const char* name, const char* meaning, double& value) {
    const Abbreviation* abbreviation = deck_.find(name);
    if (!abbreviation) {
      errors_.push_back(std::string("The deck does not define ") + name + " (" + meaning + ")");
      return nullptr;
    }
    if (!readNumber(abbreviation->value, value)) {
      errors_.push_back(where(*abbreviation) + ": the value \"" + abbreviation->value + "\" is not a number");
      return nullptr;
    }
    return abbreviation;
  }

  void positive(const char* name, const char* meaning, double& value) {
    const Abbreviation* abbreviation = number(name, meaning, value);
    if (abbreviation && !(value > 0)) {
      errors_.push_back(where(*abbreviation) + " must be positive, found " + formatNumber(value));
    }
  }

  // A count; "8.0" is accepted, as the portal writes what the host hands it.
  void count(const char* name, const char* meaning, int minimum, int maximum, int& value) {
    double number = 0;
    const Abbreviation* abbreviation = this->number(name, meaning, number);
    if (!abbreviation) return;
    if (number != std::floor(number)) {
      errors_.push_back(where(*abbreviation) + " must be a whole number, found " + formatNumber(number));
    } else if (number < minimum) {
      errors_.push_back(where(*abbreviation) + " must be at least " + std::to_string(minimum) + ", found " +
                        formatNumber(number));
    } else if (number > maximum) {
      errors_.push_back(where(*abbreviation) + " must be at most " + std::to_string(maximum) + ", found " +
                        formatNumber(number));
    } else {
      value = static_cast<int>(number);
    }
  }

  static std::string where(const Abbreviation& abbreviation) {
    return abbreviation.name + " on line " + std::to_string(abbreviation.line);
  }

 private:
  const Deck& deck_;
  std::vector<std::string>& errors_;
};

void readModules(const Deck& deck, BeamModel& model, std::vector<std::string>& errors,
                 std::vector<std::string>& warnings) {
  if (!deck.hasModulesLine) {
    model.modules = {Module::Static};
    return;
  }
  const std::string line = "line " + std::to_string(deck.modulesLine);
  for (const std::string& entry : deck.modules) {
    Module module;
    if (entry == "static") {
      module = Module::Static;
    } else if (entry == "modal") {
      module = Module::Modal;
    } else {
      warnings.push_back(line + ": unknown module \"" + entry + "\" ignored (known: static, modal)");
      continue;
    }
    if (model.runs(module)) {
      warnings.push_back(line + ": module \"" + entry + "\" listed twice; it runs once");
      continue;
    }
    model.modules.push_back(module);
  }
  if (model.modules.empty()) {
    errors.push_back("The MODULES line on " + line + " names no module this solver runs (known: static, modal)");
  }
}

}  // namespace

const char* moduleName(Module module) { return module == Module::Static ? "static" : "modal"; }

bool BeamModel::runs(Module module) const { return std::find(modules.begin(), modules.end(), module) != modules.end(); }

void buildModel(const Deck& deck, BeamModel& model, std::vector<std::string>& errors,
                std::vector<std::string>& warnings) {
  model = BeamModel();
  readModules(deck, model, errors, warnings);
  ModelReader reader(deck, errors);
  reader.positive("LENGTH", "beam length in mm", model.length);
  reader.positive("WIDTH", "section width in mm", model.width);
  reader.positive("HEIGHT", "section height in mm", model.height);
  reader.positive("YOUNG", "Young's modulus in MPa", model.young);
  reader.count("ELEMENTS", "number of beam elements", 1, kMaxElements, model.elements);
  if (model.runs(Module::Static)) reader.number("LOAD", "tip load in N, positive downward", model.load);
  if (model.runs(Module::Modal)) {
    reader.positive("DENSITY", "mass density in t/mm^3", model.density);
    model.modes = kDefaultModes;
    if (deck.find("MODES")) reader.count("MODES", "number of frequencies", 1, kMaxModes, model.modes);
  }
  if (!errors.empty()) return;

  // Each value may be fine on its own and their product still leave the range of a double.
  const double bendingStiffness = model.young * model.inertia();
  if (!std::isfinite(bendingStiffness) || !(bendingStiffness > 0) ||
      !std::isfinite(bendingStiffness / std::pow(model.elementLength(), 3))) {
    errors.push_back("The bending stiffness YOUNG * WIDTH * HEIGHT^3 / 12 = " + formatNumber(bendingStiffness) +
                     " N mm^2 is out of range for an element length of " + formatNumber(model.elementLength()) + " mm");
    return;
  }

  const int freedoms = 2 * model.elements;  // the clamped node holds none
  if (model.runs(Module::Modal) && model.modes > freedoms) {
    // Only a request the user wrote is worth a warning; the default just shrinks.
    if (deck.find("MODES")) {
      warnings.push_back("The model has " + std::to_string(freedoms) +
                         " degrees of freedom, so the modal module finds " + std::to_string(freedoms) +
                         " frequencies, not " + std::to_string(model.modes));
    }
    model.modes = freedoms;
  }
  const double slenderness = model.length / model.height;
  if (slenderness < kStockySlenderness) {
    warnings.push_back("The beam is stocky (LENGTH / HEIGHT = " + formatNumber(slenderness) +
                       "): shear deformation, which this beam theory neglects, is not small");
  }
}

std::string formatNumber(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace brisol
