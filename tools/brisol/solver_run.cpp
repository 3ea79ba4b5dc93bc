#include "solver_run.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <optional>
#include <thread>
#include <vector>

#include "beam_analysis.h"
#include "beam_model.h"
#include "deck_reader.h"
#include "modal_analysis.h"
#include "output_files.h"
#include "results_database.h"
#include "solver_log.h"

namespace brisol {
namespace {

// Beyond this share of the length, the small-deflection theory is no longer trustworthy.
constexpr double kLargeDeflection = 0.1;
// A longer wait is a slip, and the sleep's duration type would overflow long before it.
constexpr double kMaxDelay = 3600;

class Run {
 public:
  Run(const std::string& deckPath, const RunOptions& options, std::ostream& err)
      : deckPath_(deckPath), files_(deckPath), options_(options), err_(err) {}

  int execute() {
    std::string why;
    if (!log_.open(files_.log(), why)) {
      err_ << "brisol: " << why << '\n';
      return 1;
    }
    log_.line("Brisol stand-in solver: deck " + files_.deckName());
    files_.removeEarlierResults();
    const double delay = readDelay();

    Deck deck;
    if (!readDeckFile(deck)) return fail();
    for (const std::string& warning : deck.warnings) log_.warning(warning);
    std::vector<std::string> errors, warnings;
    buildModel(deck, model_, errors, warnings);
    for (const std::string& warning : warnings) log_.warning(warning);
    for (const std::string& error : errors) log_.error(error);
    if (!errors.empty()) return fail();
    describeModel();

    for (const Module module : model_.modules) {
      if (!(module == Module::Static ? solveStaticModule() : solveModalModule())) return fail();
      if (delay > 0) std::this_thread::sleep_for(std::chrono::duration<double>(delay));
      if (!saveResults(module)) return fail();
      log_.moduleFinished(moduleName(module));
    }
    log_.line("Run finished: " + std::to_string(model_.modules.size()) + " module(s), " +
              std::to_string(log_.warnings()) + " warning(s)");
    return 0;
  }

 private:
  int fail() {
    log_.line("Run stopped: " + std::to_string(log_.errors()) + " error(s)");
    err_ << "brisol: the run of " << deckPath_ << " failed; see " << files_.log() << '\n';
    return 1;
  }

  // A bad delay is the tester's slip, not the model's: warn and run at full speed.
  double readDelay() {
    if (!options_.delay || !*options_.delay) return 0;
    const std::string_view text(options_.delay);
    double seconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || !(seconds >= 0 && seconds <= kMaxDelay)) {
      log_.warning("BRISOL_STANDIN_DELAY=\"" + std::string(text) + "\" is not a number of seconds from 0 to " +
                   formatNumber(kMaxDelay) + "; no delay");
      return 0;
    }
    return seconds;
  }

  bool readDeckFile(Deck& deck) {
    std::ifstream in(deckPath_, std::ios::binary);
    if (!in) {
      log_.error("Unable to open the deck \"" + deckPath_ + "\": " + std::strerror(errno));
      return false;
    }
    deck = readDeck(in);
    if (in.bad()) {
      log_.error("Unable to read the deck \"" + deckPath_ + "\"");
      return false;
    }
    return true;
  }

  void describeModel() {
    log_.line("Model: cantilever of " + std::to_string(model_.elements) + " beam element(s), " +
              std::to_string(model_.nodes()) + " nodes, " + std::to_string(2 * model_.elements) +
              " free degrees of freedom");
    log_.line("  LENGTH " + formatNumber(model_.length) + " mm, WIDTH " + formatNumber(model_.width) + " mm, HEIGHT " +
              formatNumber(model_.height) + " mm, YOUNG " + formatNumber(model_.young) + " MPa");
    std::string modules;
    for (const Module module : model_.modules) modules += std::string(modules.empty() ? "" : ", ") + moduleName(module);
    log_.line("Modules: " + modules);
  }

  bool solveStaticModule() {
    std::string why;
    statics_.emplace();
    if (!solveStatic(model_, *statics_, why)) {
      log_.error("static: " + why);
      return false;
    }
    if (!statics_->settled) {
      log_.warning("static: the solution did not settle to rounding in " + std::to_string(kMaxRefinements) +
                   " refinements; it may be inaccurate");
    }
    const double tip = statics_->tipDeflection();
    log_.line("static: tip load " + formatNumber(model_.load) + " N, tip deflection " + formatNumber(tip) +
              " mm, root moment " + formatNumber(statics_->moment.front()[0]) + " N mm");
    if (std::abs(tip) > kLargeDeflection * model_.length) {
      log_.warning("static: the tip deflects by " + formatNumber(std::abs(tip) / model_.length * 100) +
                   "% of the length; a linear analysis does not hold for deflections this large");
    }
    return true;
  }

  bool solveModalModule() {
    std::string why;
    modes_.emplace();
    if (!solveModal(model_, *modes_, why)) {
      log_.error("modal: " + why);
      return false;
    }
    for (std::size_t k = 0; k < modes_->size(); ++k) {
      const Mode& mode = (*modes_)[k];
      log_.line("modal: mode " + std::to_string(k + 1) + " " + formatNumber(mode.frequency) + " Hz (" +
                std::to_string(mode.iterations) + " iterations)");
      if (!mode.converged) {
        log_.warning("modal: mode " + std::to_string(k + 1) + " did not settle in " +
                     std::to_string(kMaxModalIterations) + " iterations; its frequency is approximate");
      }
    }
    return true;
  }

  // The database holds every module finished so far, so whatever the log
  // reports as finished is already readable.
  bool saveResults(Module module) {
    SolvedResults results;
    if (statics_) results.statics = &*statics_;
    if (modes_) results.modes = &*modes_;
    std::string why;
    const auto write = [&](std::ostream& out) { writeDatabase(out, model_, results, files_.deckName()); };
    if (!replaceFile(files_.database(), write, why) || !files_.writeModuleFiles(model_, module, why)) {
      log_.error(std::string(moduleName(module)) + ": " + why);
      return false;
    }
    return true;
  }

  std::string deckPath_;
  OutputFiles files_;
  RunOptions options_;
  std::ostream& err_;
  SolverLog log_;
  BeamModel model_;
  std::optional<StaticResult> statics_;
  std::optional<std::vector<Mode>> modes_;
};

}  // namespace

int runDeck(const std::string& deckPath, const RunOptions& options, std::ostream& err) {
  return Run(deckPath, options, err).execute();
}

}  // namespace brisol
