#include "study/update_probe.h"

#include <cmath>
#include <fstream>

#include "study/design_folder.h"
#include "study/design_run.h"

namespace portalhost {

UpdateProbe::UpdateProbe(ORLIX::IPortal& portal, StudyHost& host, std::string analysisName, StudyTags tags,
                         std::vector<PlacedFile> files, std::string scratchFolder)
    : portal_(portal),
      host_(host),
      analysisName_(std::move(analysisName)),
      tags_(std::move(tags)),
      files_(std::move(files)),
      scratch_(std::move(scratchFolder)) {
  // Only the inputs matter here; outputs do not exist yet.
  tags_.outputs.clear();
}

double UpdateProbe::changed(double value) {
  // Away from the value by at least 1 and by as much as the value itself, so
  // that "%d", "%.0f" and "%g" all print something else.
  const double step = std::max(1.0, std::fabs(value));
  const double up = value + step;
  return std::isfinite(up) ? up : value - step;
}

ProbeUpdate UpdateProbe::update(const Design& values, const std::string& folder) {
  ProbeUpdate result;
  result.problems = fillDesignFolder(folder, files_);
  if (!result.problems.empty()) return result;
  host_.startDesign(values, folder);
  const ORLIX::StringStringMap props = designProps(analysisName_, tags_, folder, 1);
  std::string message;
  portal_.resetRunState();
  result.ok = portal_.updateInputFiles(props, nullptr, message);
  addPortalProblems(result.problems, message);
  result.problems.insert(result.problems.end(), host_.problems.begin(), host_.problems.end());
  result.asked = host_.service.asked;
  return result;
}

std::string UpdateProbe::sourceOf(const std::string& placed) const {
  for (const PlacedFile& file : files_) {
    if (file.placed == placed) return file.source;
  }
  return std::string();
}

ProbeUpdate UpdateProbe::updateBase(const Design& base) {
  base_ = base;
  return update(base, scratch_ + "/base");
}

std::vector<ProbedLine> UpdateProbe::linesOf(const std::string& name, std::size_t most) {
  Design values = base_;
  for (auto& [parameter, value] : values) {
    if (parameter == name) value = changed(value);
  }
  const std::string folder = scratch_ + "/probe";
  update(values, folder);
  std::vector<ProbedLine> lines;
  for (std::size_t i = 0; i < tags_.inputs.size() && lines.size() < most; ++i) {
    const std::string& placed = tags_.inputs[i].placed;
    std::ifstream before(scratch_ + "/base/" + placed, std::ios::binary);
    std::ifstream after(folder + "/" + placed, std::ios::binary);
    std::ifstream original(sourceOf(placed), std::ios::binary);
    std::string a, b, o;
    for (std::size_t number = 1; lines.size() < most; ++number) {
      const bool hasA = static_cast<bool>(std::getline(before, a));
      const bool hasB = static_cast<bool>(std::getline(after, b));
      const bool hasO = static_cast<bool>(std::getline(original, o));
      if (!hasA && !hasB) break;
      if (hasA != hasB || a != b) lines.push_back({i, number, hasO ? o : a});
    }
  }
  return lines;
}

}  // namespace portalhost
