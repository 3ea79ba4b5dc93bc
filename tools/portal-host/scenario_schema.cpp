#include "scenario_schema.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace portalhost {
namespace {

enum class Arg { Text, Flag, Integer, Number, Props, TextList, Item, Tags, TextOrNull, OctalMode };

struct ArgShape {
  const char* key;
  Arg kind;
  bool required;
};

struct CallShape {
  const char* name;
  bool usesPortal;
  std::vector<ArgShape> args;
};

const std::vector<CallShape>& callShapes() {
  static const std::vector<CallShape> shapes = {
      {"portalFactory", false, {{"name", Arg::Text, false}, {"creationProperties", Arg::Flag, false}}},
      {"destroy", true, {}},
      {"properties", true, {}},
      {"parseInputFile", true,
       {{"path", Arg::Text, false}, {"props", Arg::Props, false}, {"message", Arg::Text, false}}},
      {"parseOutputFile", true,
       {{"path", Arg::Text, false}, {"props", Arg::Props, false}, {"message", Arg::Text, false}}},
      {"resolveResponse", true,
       {{"item", Arg::Item, false}, {"keyPath", Arg::TextList, false}, {"mode", Arg::Integer, false}}},
      {"writeInputTagData", true,
       {{"fileName", Arg::Text, false}, {"tags", Arg::Tags, false}, {"props", Arg::Props, false},
        {"outData", Arg::Props, false}, {"message", Arg::Text, false}}},
      {"writeOutputTagData", true,
       {{"fileName", Arg::Text, false}, {"tags", Arg::Tags, false}, {"props", Arg::Props, false},
        {"outData", Arg::Props, false}, {"message", Arg::Text, false}}},
      {"readInputTagData", true,
       {{"path", Arg::Text, false}, {"props", Arg::Props, false}, {"tags", Arg::Tags, false},
        {"outData", Arg::Props, false}, {"message", Arg::Text, false}}},
      {"readOutputTagData", true,
       {{"path", Arg::Text, false}, {"props", Arg::Props, false}, {"tags", Arg::Tags, false},
        {"outData", Arg::Props, false}, {"message", Arg::Text, false}}},
      {"batchMode", true, {{"props", Arg::Props, false}}},
      {"resetRunState", true, {}},
      {"updateInputFiles", true, {{"props", Arg::Props, false}, {"message", Arg::Text, false}}},
      {"check", true,
       {{"kind", Arg::Text, false}, {"props", Arg::Props, false}, {"initial", Arg::Flag, false},
        {"message", Arg::Text, false}}},
      {"processOutputFiles", true, {{"props", Arg::Props, false}, {"message", Arg::Text, false}}},
      {"notifyEngines", true, {}},
      {"handleEvent", true, {{"event", Arg::Text, false}, {"data", Arg::Props, false}}},
      {"readFile", false, {{"path", Arg::Text, true}}},
      {"writeFile", false, {{"path", Arg::Text, true}, {"content", Arg::Text, false}}},
      {"removeFile", false, {{"path", Arg::Text, true}}},
      {"listFiles", false, {{"path", Arg::Text, true}}},
      {"setEnv", false, {{"name", Arg::Text, true}, {"value", Arg::TextOrNull, false}}},
      {"setMtime", false, {{"path", Arg::Text, true}, {"secondsFromNow", Arg::Number, true}}},
      {"chmod", false, {{"path", Arg::Text, true}, {"mode", Arg::OctalMode, true}}},
      {"setHost", false, {}},
      {"run", false,
       {{"program", Arg::TextList, true}, {"folder", Arg::Text, false}, {"env", Arg::Props, false},
        {"timeout", Arg::Number, false}}},
  };
  return shapes;
}

const CallShape* findCall(const std::string& name) {
  for (const CallShape& shape : callShapes()) {
    if (name == shape.name) return &shape;
  }
  return nullptr;
}

[[noreturn]] void fail(const std::string& field, const std::string& problem) {
  throw ScenarioError(field + ": " + problem);
}

std::string got(const Json& value) { return std::string(", got ") + value.type_name(); }

void expectText(const Json& value, const std::string& field) {
  if (!value.is_string()) fail(field, "expected a string" + got(value));
}

void expectFlag(const Json& value, const std::string& field) {
  if (!value.is_boolean()) fail(field, "expected true or false" + got(value));
}

void expectInt32(const Json& value, const std::string& field) {
  if (!value.is_number_integer()) fail(field, "expected an integer" + got(value));
  const bool fits = value.is_number_unsigned()
                        ? value.get<std::uint64_t>() <= std::numeric_limits<std::int32_t>::max()
                        : value.get<std::int64_t>() >= std::numeric_limits<std::int32_t>::min() &&
                              value.get<std::int64_t>() <= std::numeric_limits<std::int32_t>::max();
  if (!fits) fail(field, "integer out of range");
}

void expectObject(const Json& value, const std::string& field) {
  if (!value.is_object()) fail(field, "expected an object" + got(value));
}

void expectArray(const Json& value, const std::string& field) {
  if (!value.is_array()) fail(field, "expected a list" + got(value));
}

void expectProps(const Json& value, const std::string& field) {
  expectObject(value, field);
  for (const auto& entry : value.items()) expectText(entry.value(), field + "." + entry.key());
}

void expectTextList(const Json& value, const std::string& field) {
  expectArray(value, field);
  for (std::size_t i = 0; i < value.size(); ++i) {
    expectText(value[i], field + "[" + std::to_string(i) + "]");
  }
}

// [key, value] or [key, value, kind]
void expectEntries(const Json& value, const std::string& field) {
  expectArray(value, field);
  for (std::size_t i = 0; i < value.size(); ++i) {
    const std::string where = field + "[" + std::to_string(i) + "]";
    const Json& entry = value[i];
    if (!entry.is_array() || entry.size() < 2 || entry.size() > 3) {
      fail(where, "expected [key, value] or [key, value, kind]");
    }
    for (std::size_t k = 0; k < entry.size(); ++k) {
      expectText(entry[k], where + "[" + std::to_string(k) + "]");
    }
  }
}

void expectItem(const Json& value, const std::string& field) {
  expectObject(value, field);
  if (value.contains("name")) expectText(value["name"], field + ".name");
  if (value.contains("typeLabel")) expectText(value["typeLabel"], field + ".typeLabel");
  if (value.contains("flags")) expectInt32(value["flags"], field + ".flags");
  if (value.contains("entries")) expectEntries(value["entries"], field + ".entries");
  if (value.contains("children")) {
    const Json& children = value["children"];
    expectArray(children, field + ".children");
    for (std::size_t i = 0; i < children.size(); ++i) {
      expectItem(children[i], field + ".children[" + std::to_string(i) + "]");
    }
  }
}

void expectTags(const Json& value, const std::string& field) {
  expectArray(value, field);
  for (std::size_t i = 0; i < value.size(); ++i) {
    const std::string where = field + "[" + std::to_string(i) + "]";
    const Json& tag = value[i];
    expectObject(tag, where);
    if (tag.contains("path")) expectTextList(tag["path"], where + ".path");
    if (tag.contains("paramName")) expectText(tag["paramName"], where + ".paramName");
    if (tag.contains("paramType")) expectText(tag["paramType"], where + ".paramType");
    if (tag.contains("attributes")) expectEntries(tag["attributes"], where + ".attributes");
  }
}

void expectVariableName(const std::string& name, const std::string& field) {
  if (name.empty() || name.find('=') != std::string::npos) {
    fail(field, "not a usable environment variable name");
  }
}

void expectArg(const Json& value, Arg kind, const std::string& field) {
  switch (kind) {
    case Arg::Text: return expectText(value, field);
    case Arg::Flag: return expectFlag(value, field);
    case Arg::Integer: return expectInt32(value, field);
    case Arg::Number:
      if (!value.is_number()) fail(field, "expected a number" + got(value));
      return;
    case Arg::Props: return expectProps(value, field);
    case Arg::TextList: return expectTextList(value, field);
    case Arg::Item: return expectItem(value, field);
    case Arg::Tags: return expectTags(value, field);
    case Arg::TextOrNull:
      if (!value.is_null()) expectText(value, field);
      return;
    case Arg::OctalMode:
      expectText(value, field);
      if (parseOctalMode(value.get<std::string>()) < 0) {
        fail(field, "expected an octal mode such as \"0644\"");
      }
      return;
  }
}

void validateRunCommandQueue(const Json& queue, const std::string& field) {
  expectArray(queue, field);
  for (std::size_t i = 0; i < queue.size(); ++i) {
    const std::string where = field + "[" + std::to_string(i) + "]";
    const Json& entry = queue[i];
    expectObject(entry, where);
    if (entry.contains("result")) expectFlag(entry["result"], where + ".result");
    if (entry.contains("execute")) expectFlag(entry["execute"], where + ".execute");
    if (entry.contains("writeFiles")) expectProps(entry["writeFiles"], where + ".writeFiles");
  }
}

// The shapes are checked already; what is left is what the shapes allow but a
// run cannot use.
void validateRun(const Json& step, const std::string& where) {
  const Json& program = step["program"];
  if (program.empty()) fail(where + ".program", "expected the program and its arguments, got an empty list");
  if (program[0].get<std::string>().empty()) fail(where + ".program[0]", "empty program name");
  if (step.contains("env")) {
    for (const auto& variable : step["env"].items()) {
      expectVariableName(variable.key(), where + ".env." + variable.key());
    }
  }
  if (step.contains("timeout")) {
    const double timeout = step["timeout"].get<double>();
    if (!(timeout > 0)) fail(where + ".timeout", "expected a positive number of seconds");
    // The same bound as setMtime: far beyond any run, and safe on the clock.
    if (timeout > 1e12) fail(where + ".timeout", "out of range");
  }
}

void validateStep(const Json& step, const std::string& where, int portalsCreatedBefore) {
  expectObject(step, where);
  if (!step.contains("call")) fail(where + ".call", "missing");
  expectText(step["call"], where + ".call");
  const std::string call = step["call"].get<std::string>();
  const CallShape* shape = findCall(call);
  if (shape == nullptr) fail(where + ".call", "unknown call \"" + call + "\"");

  for (const ArgShape& arg : shape->args) {
    const std::string field = where + "." + arg.key;
    if (!step.contains(arg.key)) {
      if (arg.required) fail(field, "missing");
      continue;
    }
    expectArg(step[arg.key], arg.kind, field);
  }
  if (call == "setEnv") expectVariableName(step["name"].get<std::string>(), where + ".name");
  if (call == "setHost") validateHostKeys(step, where);
  if (call == "run") validateRun(step, where);
  // About 30000 years either way: far beyond any test, and safe to add to the clock.
  if (call == "setMtime" && std::fabs(step["secondsFromNow"].get<double>()) > 1e12) {
    fail(where + ".secondsFromNow", "out of range");
  }

  if (!shape->usesPortal) return;
  if (portalsCreatedBefore == 0) fail(where + ".call", "\"" + call + "\" before any portalFactory");
  if (step.contains("portal")) {
    const Json& index = step["portal"];
    expectInt32(index, where + ".portal");
    const int wanted = index.get<int>();
    if (wanted < 0 || wanted >= portalsCreatedBefore) {
      fail(where + ".portal", "no portal " + std::to_string(wanted) + " (" +
                                  std::to_string(portalsCreatedBefore) +
                                  " portalFactory call(s) before this step)");
    }
  }
}

}  // namespace

bool isKnownCall(const std::string& call) { return findCall(call) != nullptr; }

bool callUsesPortal(const std::string& call) {
  const CallShape* shape = findCall(call);
  return shape != nullptr && shape->usesPortal;
}

int parseOctalMode(const std::string& text) {
  if (text.empty() || text.size() > 5) return -1;
  int mode = 0;
  for (char c : text) {
    if (c < '0' || c > '7') return -1;
    mode = mode * 8 + (c - '0');
  }
  return mode <= 07777 ? mode : -1;
}

void validateHostKeys(const Json& host, const std::string& where) {
  expectObject(host, where);
  const auto field = [&](const char* key) { return where + "." + key; };
  if (host.contains("present")) expectFlag(host["present"], field("present"));
  if (host.contains("service")) {
    const Json& service = host["service"];
    expectText(service, field("service"));
    const std::string value = service.get<std::string>();
    if (value != "portal" && value != "none" && value != "other") {
      fail(field("service"), "expected \"portal\", \"none\" or \"other\", got \"" + value + "\"");
    }
  }
  if (host.contains("settings")) expectProps(host["settings"], field("settings"));
  if (host.contains("parameters")) expectProps(host["parameters"], field("parameters"));
  if (host.contains("analysisProperties")) {
    const Json& analyses = host["analysisProperties"];
    expectObject(analyses, field("analysisProperties"));
    for (const auto& analysis : analyses.items()) {
      const std::string analysisField = field("analysisProperties") + "." + analysis.key();
      expectObject(analysis.value(), analysisField);
      for (const auto& property : analysis.value().items()) {
        expectProps(property.value(), analysisField + "." + property.key());
      }
    }
  }
  if (host.contains("runCommand")) validateRunCommandQueue(host["runCommand"], field("runCommand"));
  if (host.contains("workingFolder")) expectText(host["workingFolder"], field("workingFolder"));
  if (host.contains("stringTable")) {
    const Json& table = host["stringTable"];
    expectObject(table, field("stringTable"));
    for (const auto& module : table.items()) {
      expectProps(module.value(), field("stringTable") + "." + module.key());
    }
  }
  // null stands for the default: no override, the real configuration answers.
  if (host.contains("toolMessages") && !host["toolMessages"].is_null()) {
    const Json& tools = host["toolMessages"];
    expectObject(tools, field("toolMessages"));
    for (const auto& tool : tools.items()) {
      const std::string toolField = field("toolMessages") + "." + tool.key();
      expectObject(tool.value(), toolField);
      for (const auto& category : tool.value().items()) {
        expectTextList(category.value(), toolField + "." + category.key());
      }
    }
  }
}

void validateScenario(const Json& scenario) {
  if (!scenario.is_object()) fail("scenario", "expected an object" + got(scenario));
  for (const auto& entry : scenario.items()) {
    const std::string& key = entry.key();
    if (key != "description" && key != "env" && key != "files" && key != "host" && key != "steps") {
      fail(key, "unknown top-level key");
    }
  }
  if (scenario.contains("description")) expectText(scenario["description"], "description");
  if (scenario.contains("env")) {
    expectObject(scenario["env"], "env");
    for (const auto& variable : scenario["env"].items()) {
      const std::string field = "env." + variable.key();
      expectVariableName(variable.key(), field);
      if (!variable.value().is_null()) expectText(variable.value(), field);
    }
  }
  if (scenario.contains("files")) {
    expectObject(scenario["files"], "files");
    for (const auto& file : scenario["files"].items()) {
      if (file.key().empty()) fail("files", "empty file name");
      expectText(file.value(), "files." + file.key());
    }
  }
  if (scenario.contains("host")) validateHostKeys(scenario["host"], "host");
  if (!scenario.contains("steps")) return;

  const Json& steps = scenario["steps"];
  expectArray(steps, "steps");
  int portalsCreated = 0;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    validateStep(steps[i], "steps[" + std::to_string(i) + "]", portalsCreated);
    if (steps[i]["call"] == "portalFactory") ++portalsCreated;
  }
}

}  // namespace portalhost
