// The study file's "solver": an object for any solver, or the Brisol form's
// launcher program as a text.
#ifndef PORTAL_HOST_STUDY_SOLVER_READER_H
#define PORTAL_HOST_STUDY_SOLVER_READER_H

#include <string>
#include <vector>

#include "scenario_json.h"
#include "study/study_model.h"

namespace portalhost {

// Unknown keys go to `problems`; anything else wrong throws StudyError.
SolverSettings readSolver(const Json& study, bool hasDeck, std::vector<std::string>& problems);

}  // namespace portalhost

#endif
