// portal-host: loads the portal library as the real host does and plays a
// scenario against it, runs a study of many designs, or shows what a file
// offers. The command line is read here; each command lives in its own file.
#include <iostream>
#include <string>

#include "cli_support.h"
#include "host_files.h"
#include "portal_library.h"
#include "scenario_schema.h"
#include "study/journal.h"
#include "study/study_model.h"
#include "user_commands.h"

namespace {

using namespace portalhost;

std::string standIns() {
  return "The solver stand-ins (brisol and its results module tallex) are built beside portal-host, in\n" +
         ownFolder() + ", which is searched after PATH: a solver you name is always yours.\n";
}

void scenarioOptions(CLI::App& command, ScenarioOptions& options) {
  command.add_option("SCENARIO", options.scenario, "The scenario file (JSON)")->required();
  command.add_option("--portal", options.portal, "The portal library (default: the one beside portal-host)");
  command.add_flag("--keep", options.keep, "Keep the work folder and print its path on standard error");
  command.add_option("--out", options.out, "Write the transcript to this file instead of standard output");
}

void studyOptions(CLI::App& command, StudyOptions& options) {
  command.add_option("STUDY", options.studyFile, "The study file (JSON)")->required();
  command.add_option("--jobs", options.jobs, "Designs run at once (default: one per core)")
      ->check(CLI::PositiveNumber);
  command.add_option("--out", options.out, "Where the designs and results go (default: ./<name>-results)");
  command.add_flag("--check", options.check,
                   "Check the study (tags, parameters, responses, solver) with one scratch design; run nothing");
  auto* resume = command.add_flag("--resume", options.resume,
                                  "Go on with an earlier run in the output folder; finished designs are kept");
  auto* force = command.add_flag("--force", options.force, "Empty the output folder first");
  resume->excludes(force);
  command.add_option("--retries", options.retries, "Run a failed design up to N more times")
      ->check(CLI::NonNegativeNumber);
  command.add_option("--launcher", options.launcher, "Where solvers run: local or slurm")
      ->check(CLI::IsMember({"local", "slurm"}));
  command.add_option("--poll", options.pollSeconds,
                     "Seconds between the portal's finish checks while a solver runs (default: the portal's)")
      ->check(CLI::PositiveNumber);
  command.add_option("--portal", options.portal, "The portal library (default: the one beside portal-host)");
  command.footer(std::string("exit status: 0 every design succeeded, 1 some failed, 2 the study file or the command\n"
                             "line is wrong, 3 the portal library cannot be loaded, 4 the output folder cannot be\n"
                             "written, 130 interrupted (what finished is kept; --resume goes on).\n\n") +
                 standIns());
}

void discoveryOptions(CLI::App& command, DiscoveryOptions& options, bool responses) {
  command.add_option("FILE", options.file, responses ? "The results or output file" : "The deck or input file")
      ->required();
  command.add_option("--tags", options.tags,
                     responses ? "An output tag file: the value each of its tags reads in FILE now"
                               : "An input tag file: what each parameter of it writes where in FILE");
  command.add_flag("--json", options.json, "Print the items as the host receives them");
  command.add_option("--portal", options.portal, "The portal library (default: the one beside portal-host)");
  if (!responses) return;
  command.add_option("--modules", options.modules, "The analysis' solver modules (default: static)");
  command.add_option("--solver", options.solver, "The solver's launcher, which runs the results module (default: brisol)");
  command.footer(standIns());
}

// Each kind of failure has its exit status; the message says what and where.
template <typename Command>
int guarded(const std::string& name, Command command) {
  try {
    return command();
  } catch (const ScenarioError& error) {
    std::cerr << "scenario error: " << error.what() << "\n";
    return kExitUsage;
  } catch (const StudyError& error) {
    std::cerr << "portal-host " << name << ": " << error.what() << "\n";
    return kExitUsage;
  } catch (const LibraryError& error) {
    std::cerr << "portal-host: " << error.what() << "\n";
    return kExitLibrary;
  } catch (const OutputError& error) {
    std::cerr << "portal-host " << name << ": " << error.what() << "\n";
    return kExitOutput;
  } catch (const nlohmann::json::exception& error) {
    std::cerr << "scenario error: " << error.what() << "\n";
    return kExitUsage;
  } catch (const std::exception& error) {
    std::cerr << "portal-host " << name << ": " << error.what() << "\n";
    return name == "replay" || name == "check" ? kExitUsage : kExitFailed;
  }
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Loads the portal library as the ORLIX host does and drives it.", "portal-host"};
  toolcli::addVersionFlag(app, "portal-host");
  app.require_subcommand(1);

  ScenarioOptions replay, check;
  check.compare = true;
  auto* replayCommand = app.add_subcommand("replay", "Play a scenario and print its transcript (JSON)");
  scenarioOptions(*replayCommand, replay);
  auto* checkCommand = app.add_subcommand("check", "Play a scenario and compare its transcript with the expected one");
  scenarioOptions(*checkCommand, check);
  checkCommand->add_option("EXPECTED", check.expected, "The expected transcript (default: SCENARIO.expected.json)");

  StudyOptions study;
  auto* studyCommand = app.add_subcommand("study", "Run every design of a study through the portal");
  studyOptions(*studyCommand, study);

  DiscoveryOptions params, responses;
  auto* paramsCommand = app.add_subcommand("params", "List the parameters a deck offers, or what a tag file writes");
  discoveryOptions(*paramsCommand, params, false);
  auto* responsesCommand =
      app.add_subcommand("responses", "List the responses a results file offers, or what a tag file reads");
  discoveryOptions(*responsesCommand, responses, true);

  if (const auto status = toolcli::parse(app, argc, argv)) return *status;
  if (replayCommand->parsed()) return guarded("replay", [&] { return scenarioCommand(replay); });
  if (checkCommand->parsed()) return guarded("check", [&] { return scenarioCommand(check); });
  if (studyCommand->parsed()) return guarded("study", [&] { return portalhost::studyCommand(study); });
  if (paramsCommand->parsed()) return guarded("params", [&] { return portalhost::paramsCommand(params); });
  return guarded("responses", [&] { return portalhost::responsesCommand(responses); });
}
