#include "study/solver_reader.h"

#include <limits>
#include <regex>

#include "study/key_check.h"
#include "study/study_json.h"

namespace portalhost {
namespace {

void add(std::vector<std::string>& problems, const std::vector<std::string>& more) {
  problems.insert(problems.end(), more.begin(), more.end());
}

std::vector<int> exitCodes(const Json& success) {
  const std::string where = "solver.success.exitCodes";
  if (!success["exitCodes"].is_array() || success["exitCodes"].empty()) {
    throw StudyError(where + ": must be a non-empty list of whole numbers");
  }
  std::vector<int> codes;
  for (const Json& code : success["exitCodes"]) {
    if (!code.is_number_integer() || code.get<long long>() < 0 || code.get<long long>() > 255) {
      throw StudyError(where + ": must hold whole numbers from 0 to 255");
    }
    codes.push_back(code.get<int>());
  }
  return codes;
}

FailIf failCheck(const Json& check, const std::string& where, std::vector<std::string>& problems) {
  expectObject(check, where, "{\"file\", \"contains\"} or {\"file\", \"matches\"}");
  add(problems, unknownKeys(check, {"file", "contains", "matches"}, where));
  FailIf f;
  f.file = requiredText(check, "file", where);
  if (check.contains("contains") == check.contains("matches")) {
    throw StudyError(where + ": needs exactly one of \"contains\" or \"matches\"");
  }
  f.regex = check.contains("matches");
  f.text = requiredText(check, f.regex ? "matches" : "contains", where);
  if (f.text.empty()) throw StudyError(keyPath(where, f.regex ? "matches" : "contains") + ": must not be empty");
  if (f.regex) {
    try {
      std::regex test(f.text);
    } catch (const std::regex_error& e) {
      throw StudyError(where + ".matches: not a regular expression: " + e.what());
    }
  }
  return f;
}

void readSuccess(const Json& success, SolverSettings& settings, std::vector<std::string>& problems) {
  expectObject(success, "solver.success", "{\"exitCodes\", \"failIf\"}");
  add(problems, unknownKeys(success, {"exitCodes", "failIf"}, "solver.success"));
  if (success.contains("exitCodes")) settings.exitCodes = exitCodes(success);
  if (!success.contains("failIf")) return;
  if (!success["failIf"].is_array()) throw StudyError("solver.success.failIf: must be a list of checks");
  for (std::size_t i = 0; i < success["failIf"].size(); ++i) {
    settings.failIf.push_back(failCheck(success["failIf"][i], "solver.success.failIf[" + std::to_string(i) + "]", problems));
  }
}

SolverSettings solverObject(const Json& solver, std::vector<std::string>& problems) {
  add(problems, unknownKeys(solver, {"command", "env", "timeout", "success"}, "solver"));
  SolverSettings settings;
  settings.command = textList(solver, "command", "solver");
  if (settings.command.empty() || settings.command.front().empty()) {
    throw StudyError("solver.command: must name the program first");
  }
  if (solver.contains("env")) {
    expectObject(solver["env"], "solver.env", "variable -> text");
    for (const auto& item : solver["env"].items()) {
      if (item.key().empty() || item.key().find('=') != std::string::npos) {
        throw StudyError("solver.env: \"" + item.key() + "\" cannot name an environment variable");
      }
      if (!item.value().is_string()) throw StudyError("solver.env." + item.key() + ": must be a text");
      settings.env.emplace_back(item.key(), item.value().get<std::string>());
    }
  }
  if (solver.contains("timeout")) {
    settings.timeoutSeconds = number(solver["timeout"], "solver.timeout");
    // A year is far beyond any run and keeps the clock arithmetic exact.
    if (settings.timeoutSeconds <= 0 || settings.timeoutSeconds > 3.2e7) {
      throw StudyError("solver.timeout: must be a number of seconds above 0 (at most a year)");
    }
  }
  if (solver.contains("success")) readSuccess(solver["success"], settings, problems);
  return settings;
}

}  // namespace

SolverSettings readSolver(const Json& study, bool hasDeck, std::vector<std::string>& problems) {
  if (!study.contains("solver")) {
    if (!hasDeck) throw StudyError("solver: missing (how a design's solver run starts: {\"command\": [...]})");
    SolverSettings settings;
    settings.program = "brisol";
    return settings;
  }
  const Json& solver = study["solver"];
  if (solver.is_string()) {
    if (!hasDeck) {
      throw StudyError("solver: a text names the Brisol launcher, run as <program> <deck>, but the study has "
                       "no \"deck\"; give {\"command\": [...]} for any other solver");
    }
    SolverSettings settings;
    settings.program = solver.get<std::string>();
    if (settings.program.empty()) throw StudyError("solver: must name a program");
    return settings;
  }
  if (!solver.is_object()) throw StudyError("solver: must be an object {\"command\": [...], ...} or a program's name");
  return solverObject(solver, problems);
}

}  // namespace portalhost
