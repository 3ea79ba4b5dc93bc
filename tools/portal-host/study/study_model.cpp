#include "study/study_model.h"

#include <filesystem>

namespace portalhost {

std::string Study::deckResults() const {
  if (!hasDeck()) return std::string();
  const std::filesystem::path placed(deck.placed);
  return (placed.parent_path() / (placed.stem().string() + ".sdb")).string();
}

const StudyResponse* Study::response(const std::string& name) const {
  for (const StudyResponse& r : responses) {
    if (r.name == name) return &r;
  }
  return nullptr;
}

bool Study::hasParameter(const std::string& name) const {
  for (const StudyParameter& p : parameters) {
    if (p.name == name) return true;
  }
  return false;
}

}  // namespace portalhost
