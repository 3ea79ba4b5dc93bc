// Typed reading of a study file's values: each throws StudyError naming the
// key (as "solver.timeout") and what it must be.
#ifndef PORTAL_HOST_STUDY_STUDY_JSON_H
#define PORTAL_HOST_STUDY_STUDY_JSON_H

#include <string>
#include <vector>

#include "scenario_json.h"

namespace portalhost {

std::string keyPath(const std::string& where, const std::string& key);

void expectObject(const Json& value, const std::string& where, const std::string& shape);
std::string requiredText(const Json& object, const char* key, const std::string& where);
std::string optionalText(const Json& object, const char* key, const std::string& where,
                         const std::string& fallback);
std::vector<std::string> textList(const Json& object, const char* key, const std::string& where);
// A finite number.
double number(const Json& value, const std::string& where);
// A whole number of at least 1, given as a number or as its digits; returned as its digits.
std::string wholeNumberText(const Json& object, const char* key, const std::string& where);

}  // namespace portalhost

#endif
