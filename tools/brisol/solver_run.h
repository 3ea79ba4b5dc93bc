// One solver run: read the deck, build the model, run its modules in order,
// and leave the log, the results database and the module files beside the deck.
#ifndef BRISOL_SOLVER_RUN_H
#define BRISOL_SOLVER_RUN_H

#include <ostream>
#include <string>

namespace brisol {

struct RunOptions {
  // BRISOL_STANDIN_DELAY as found in the environment; null when unset. The
  // run sleeps that many seconds before each module finishes, so a host's
  // finish polling has something to wait for.
  const char* delay = nullptr;
};

// Exit status: 0 when every module finished, 1 when the run failed (the log
// says why in "%%%E" lines; standard error says so too).
int runDeck(const std::string& deckPath, const RunOptions& options, std::ostream& err);

}  // namespace brisol

#endif
