// The results database that tallex reads (tools/tallex/README.md): one text
// file per run, holding the results of every module that has finished.
#ifndef BRISOL_RESULTS_DATABASE_H
#define BRISOL_RESULTS_DATABASE_H

#include <ostream>
#include <string>
#include <vector>

#include "beam_analysis.h"
#include "beam_model.h"
#include "modal_analysis.h"

namespace brisol {

// What has been solved so far; a null pointer is a module that has not run.
struct SolvedResults {
  const StaticResult* statics = nullptr;
  const std::vector<Mode>* modes = nullptr;
};

// Static: DISP (per node), BEND and STRS (per element end; STRS at the top and
// bottom fibre) at TIME 1. Modal: FREQ (one row per mode) and MODE (shapes),
// one coded step "MODE<k>" per mode.
void writeDatabase(std::ostream& out, const BeamModel& model, const SolvedResults& results,
                   const std::string& deckName);

}  // namespace brisol

#endif
