// A study: one deck, the parameters that vary (each tied to an abbreviation of
// the deck), the responses to extract, the solver to run, and the designs. Read
// from a JSON study file; paths in it are relative to the file.
#ifndef PORTAL_HOST_STUDY_FILE_H
#define PORTAL_HOST_STUDY_FILE_H

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "scenario_json.h"

namespace portalhost {

class StudyError : public std::runtime_error {
 public:
  explicit StudyError(const std::string& what) : std::runtime_error(what) {}
};

struct StudyParameter {
  std::string name;          // the design variable
  std::string group;         // the abbreviation family ("ABRE", "ABREM[...]", "ABREBOS")
  std::string abbreviation;  // the deck's abbreviation that receives it
  std::string format;        // how its value is printed into the deck; "" writes the exact number
};

struct StudyResponse {
  std::string name;
  // Attributes of the response's tag, as the result catalogue names them
  // (nature, transformation, location, node, element, ply, Reference, ...).
  std::vector<std::pair<std::string, std::string>> attributes;
};

using Design = std::map<std::string, double>;  // parameter name -> value

struct Study {
  std::string name;
  std::string studyFile;   // absolute
  std::string deck;        // absolute path of the deck every design starts from
  std::string solver;      // program, run as `solver <deck file name>` in the design folder
  std::string modules;     // the solver modules the analysis runs ("static")
  std::vector<StudyParameter> parameters;
  std::vector<StudyResponse> responses;
  std::vector<Design> designs;
};

// Reads and checks a study file; StudyError says what is wrong and where.
Study loadStudy(const std::string& path);
Study studyFromJson(const Json& json, const std::string& folder, const std::string& file);

// Design generators, all deterministic.
std::vector<Design> fullFactorial(const std::vector<std::pair<std::string, std::vector<double>>>& levels);
// n designs; each parameter's range cut into n strata, one sample in each, the
// strata paired at random (a Latin hypercube); the same seed gives the same designs.
std::vector<Design> latinHypercube(const std::vector<std::pair<std::string, std::pair<double, double>>>& ranges,
                                   int count, unsigned long long seed);

}  // namespace portalhost

#endif
