#include "study/study_json.h"

#include <cmath>

#include "study/study_model.h"

namespace portalhost {

std::string keyPath(const std::string& where, const std::string& key) {
  return where.empty() ? key : where + "." + key;
}

void expectObject(const Json& value, const std::string& where, const std::string& shape) {
  if (!value.is_object()) throw StudyError(where + ": must be an object: " + shape);
}

std::string requiredText(const Json& object, const char* key, const std::string& where) {
  if (!object.contains(key)) throw StudyError(keyPath(where, key) + ": missing");
  if (!object[key].is_string()) throw StudyError(keyPath(where, key) + ": must be a text");
  return object[key].get<std::string>();
}

std::string optionalText(const Json& object, const char* key, const std::string& where,
                         const std::string& fallback) {
  if (!object.contains(key)) return fallback;
  return requiredText(object, key, where);
}

std::vector<std::string> textList(const Json& object, const char* key, const std::string& where) {
  const std::string at = keyPath(where, key);
  if (!object.contains(key)) throw StudyError(at + ": missing");
  if (!object[key].is_array()) throw StudyError(at + ": must be a list of texts");
  std::vector<std::string> texts;
  for (const Json& item : object[key]) {
    if (!item.is_string()) throw StudyError(at + ": must be a list of texts");
    texts.push_back(item.get<std::string>());
  }
  return texts;
}

double number(const Json& value, const std::string& where) {
  if (!value.is_number()) throw StudyError(where + ": must be a number");
  const double x = value.get<double>();
  if (!std::isfinite(x)) throw StudyError(where + ": must be a finite number");
  return x;
}

std::string wholeNumberText(const Json& object, const char* key, const std::string& where) {
  const std::string at = keyPath(where, key);
  if (!object.contains(key)) throw StudyError(at + ": missing");
  const Json& value = object[key];
  if (value.is_number_integer() && value.get<long long>() >= 1) return std::to_string(value.get<long long>());
  if (value.is_string()) {
    const std::string digits = value.get<std::string>();
    if (!digits.empty() && digits.size() <= 9 && digits.find_first_not_of("0123456789") == std::string::npos &&
        std::stoul(digits) >= 1) {
      return digits;
    }
  }
  throw StudyError(at + ": must be a whole number of at least 1");
}

}  // namespace portalhost
