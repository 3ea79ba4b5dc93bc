// The study file's "designs": a list, a grid or a Latin hypercube.
#ifndef PORTAL_HOST_STUDY_DESIGN_READER_H
#define PORTAL_HOST_STUDY_DESIGN_READER_H

#include <string>
#include <vector>

#include "scenario_json.h"
#include "study/design_space.h"
#include "study/study_model.h"

namespace portalhost {

// Reads study["designs"]; unknown keys go to `problems`, everything else that
// is wrong throws StudyError.
DesignSpace readDesigns(const Json& study, const std::vector<StudyParameter>& parameters,
                        std::vector<std::string>& problems);

}  // namespace portalhost

#endif
