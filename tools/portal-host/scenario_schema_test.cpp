#include "scenario_schema.h"

#include <gtest/gtest.h>

namespace portalhost {
namespace {

// The validation error for a scenario, or "" when it is accepted.
std::string errorOf(const std::string& text) {
  try {
    validateScenario(Json::parse(text));
  } catch (const ScenarioError& error) {
    return error.what();
  }
  return "";
}

// The error for one step placed after a portalFactory step (so it is steps[1]).
std::string stepError(const std::string& step) {
  return errorOf(R"({"steps": [{"call": "portalFactory", "name": "Brisol"}, )" + step + "]}");
}

TEST(ScenarioSchema, AcceptsEveryDocumentedKey) {
  EXPECT_EQ("", errorOf(R"({
    "description": "all of it",
    "env": {"QZN_PORTAL_LOG": "yes", "ORLIX_TALLEX_CMD": null},
    "files": {"deck.dat": "ABRE\n", "${WORK}/sub/a.txt": ""},
    "host": {"present": true, "service": "other", "settings": {"verbose": "1"},
             "parameters": {"x": "1.5"}, "analysisProperties": {"A": {"k": {"a": "b"}}},
             "runCommand": [{"result": false, "writeFiles": {"o.txt": "x"}, "execute": true}],
             "workingFolder": "${WORK}/h", "stringTable": {"Marking": {".Portal.x": "t"}},
             "toolMessages": {"brisol": {"errors": ["ERROR: a"]}}},
    "steps": [
      {"call": "portalFactory", "name": "Brisol", "creationProperties": false},
      {"call": "parseInputFile", "path": "deck.dat", "props": {"a": "b"}, "message": "", "portal": 0},
      {"call": "resolveResponse", "item": {"name": "r", "flags": 3, "entries": [["k", "v"]],
                                           "children": [{"typeLabel": "t", "entries": [["k", "v", "Prop"]]}]},
       "keyPath": ["a"], "mode": 1},
      {"call": "writeInputTagData", "fileName": "f", "tags": [{"path": ["G", "t"], "attributes": [["k", "v"]]}]},
      {"call": "check", "kind": "checkFinish", "initial": true},
      {"call": "setEnv", "name": "X", "value": null},
      {"call": "setMtime", "path": "deck.dat", "secondsFromNow": -2.5},
      {"call": "chmod", "path": "deck.dat", "mode": "0555"},
      {"call": "setHost", "service": "none", "toolMessages": null},
      {"call": "run", "program": ["ccx", "-i", "beam"], "folder": "run", "env": {"OMP_NUM_THREADS": "1"},
       "timeout": 0.5},
      {"call": "destroy"}
    ]})"));
}

TEST(ScenarioSchema, NamesTheStepAndFieldOfAnUnknownCall) {
  EXPECT_EQ("steps[1].call: unknown call \"frobnicate\"", stepError(R"({"call": "frobnicate"})"));
  EXPECT_EQ("steps[1].call: missing", stepError(R"({"path": "x"})"));
  EXPECT_EQ("steps[1].call: expected a string, got number", stepError(R"({"call": 7})"));
}

TEST(ScenarioSchema, RejectsUnknownTopLevelKeysAndNonObjects) {
  EXPECT_EQ("step: unknown top-level key", errorOf(R"({"step": []})"));
  EXPECT_EQ("scenario: expected an object, got array", errorOf("[]"));
  EXPECT_EQ("steps: expected a list, got object", errorOf(R"({"steps": {}})"));
  EXPECT_EQ("steps[1]: expected an object, got string", stepError(R"("readFile")"));
}

TEST(ScenarioSchema, ToleratesUnknownKeysInsideStepsAndHost) {
  EXPECT_EQ("", errorOf(R"({"host": {"future": 1},
                            "steps": [{"call": "readFile", "path": "a", "later": [1, 2]}]})"));
}

TEST(ScenarioSchema, RejectsKnownArgumentsOfTheWrongType) {
  EXPECT_EQ("steps[1].path: expected a string, got number", stepError(R"({"call": "readFile", "path": 3})"));
  EXPECT_EQ("steps[1].creationProperties: expected true or false, got string",
            stepError(R"({"call": "portalFactory", "creationProperties": "no"})"));
  EXPECT_EQ("steps[1].props.a: expected a string, got number",
            stepError(R"({"call": "batchMode", "props": {"a": 1}})"));
  EXPECT_EQ("steps[1].mode: expected an integer, got number",
            stepError(R"({"call": "resolveResponse", "mode": 1.5})"));
  EXPECT_EQ("steps[1].item.children[0].flags: expected an integer, got string",
            stepError(R"({"call": "resolveResponse", "item": {"children": [{"flags": "1"}]}})"));
  EXPECT_EQ("steps[1].tags[0].attributes[0]: expected [key, value] or [key, value, kind]",
            stepError(R"({"call": "writeInputTagData", "tags": [{"attributes": [["only"]]}]})"));
  EXPECT_EQ("steps[1].value: expected a string, got number",
            stepError(R"({"call": "setEnv", "name": "A", "value": 1})"));
  EXPECT_EQ("steps[1].mode: expected an octal mode such as \"0644\"",
            stepError(R"({"call": "chmod", "path": "a", "mode": "0855"})"));
}

TEST(ScenarioSchema, RequiresTheArgumentsOfFileSteps) {
  EXPECT_EQ("steps[1].path: missing", stepError(R"({"call": "writeFile", "content": "x"})"));
  EXPECT_EQ("steps[1].secondsFromNow: missing", stepError(R"({"call": "setMtime", "path": "a"})"));
  EXPECT_EQ("steps[1].secondsFromNow: out of range",
            stepError(R"({"call": "setMtime", "path": "a", "secondsFromNow": -1e300})"));
}

TEST(ScenarioSchema, RejectsRunStepsThatCannotStartAProgram) {
  EXPECT_EQ("steps[1].program: missing", stepError(R"({"call": "run"})"));
  EXPECT_EQ("steps[1].program: expected a list, got string", stepError(R"({"call": "run", "program": "ccx -i beam"})"));
  EXPECT_EQ("steps[1].program: expected the program and its arguments, got an empty list",
            stepError(R"({"call": "run", "program": []})"));
  EXPECT_EQ("steps[1].program[1]: expected a string, got number", stepError(R"({"call": "run", "program": ["sleep", 1]})"));
  EXPECT_EQ("steps[1].program[0]: empty program name", stepError(R"({"call": "run", "program": [""]})"));
  EXPECT_EQ("steps[1].folder: expected a string, got array",
            stepError(R"({"call": "run", "program": ["true"], "folder": ["a"]})"));
  EXPECT_EQ("steps[1].env: expected an object, got array",
            stepError(R"({"call": "run", "program": ["true"], "env": ["A=1"]})"));
  EXPECT_EQ("steps[1].env.A: expected a string, got number",
            stepError(R"({"call": "run", "program": ["true"], "env": {"A": 1}})"));
  EXPECT_EQ("steps[1].env.A=B: not a usable environment variable name",
            stepError(R"({"call": "run", "program": ["true"], "env": {"A=B": "1"}})"));
  EXPECT_EQ("steps[1].timeout: expected a number, got string",
            stepError(R"({"call": "run", "program": ["true"], "timeout": "60"})"));
  EXPECT_EQ("steps[1].timeout: expected a positive number of seconds",
            stepError(R"({"call": "run", "program": ["true"], "timeout": 0})"));
  EXPECT_EQ("steps[1].timeout: expected a positive number of seconds",
            stepError(R"({"call": "run", "program": ["true"], "timeout": -5})"));
  EXPECT_EQ("steps[1].timeout: out of range", stepError(R"({"call": "run", "program": ["true"], "timeout": 1e300})"));
  // A run needs no portal.
  EXPECT_EQ("", errorOf(R"({"steps": [{"call": "run", "program": ["true"]}]})"));
}

TEST(ScenarioSchema, RejectsPortalCallsWithoutAPortalToActOn) {
  EXPECT_EQ("steps[0].call: \"destroy\" before any portalFactory", errorOf(R"({"steps": [{"call": "destroy"}]})"));
  EXPECT_EQ("steps[1].portal: no portal 1 (1 portalFactory call(s) before this step)",
            stepError(R"({"call": "properties", "portal": 1})"));
  EXPECT_EQ("steps[1].portal: no portal -1 (1 portalFactory call(s) before this step)",
            stepError(R"({"call": "properties", "portal": -1})"));
  // Host-side steps need no portal, and "portal" means nothing to them.
  EXPECT_EQ("", errorOf(R"({"steps": [{"call": "listFiles", "path": ".", "portal": 9}]})"));
}

TEST(ScenarioSchema, ChecksHostKeysAtTheTopAndInSetHost) {
  EXPECT_EQ("host.service: expected \"portal\", \"none\" or \"other\", got \"extra\"",
            errorOf(R"({"host": {"service": "extra"}})"));
  EXPECT_EQ("host.runCommand[1].execute: expected true or false, got number",
            errorOf(R"({"host": {"runCommand": [{}, {"execute": 1}]}})"));
  EXPECT_EQ("host.toolMessages.brisol.errors: expected a list, got string",
            errorOf(R"({"host": {"toolMessages": {"brisol": {"errors": "x"}}}})"));
  EXPECT_EQ("steps[1].settings.verbose: expected a string, got boolean",
            stepError(R"({"call": "setHost", "settings": {"verbose": true}})"));
  EXPECT_EQ("env.A=B: not a usable environment variable name", errorOf(R"({"env": {"A=B": "x"}})"));
}

TEST(ScenarioSchema, ReadsOctalModes) {
  EXPECT_EQ(0555, parseOctalMode("0555"));
  EXPECT_EQ(0644, parseOctalMode("644"));
  EXPECT_EQ(-1, parseOctalMode(""));
  EXPECT_EQ(-1, parseOctalMode("rwx"));
  EXPECT_EQ(-1, parseOctalMode("17777"));
}

}  // namespace
}  // namespace portalhost
