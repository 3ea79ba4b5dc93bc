#include "study/study_reader.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "study/design_reader.h"
#include "study/key_check.h"
#include "study/solver_reader.h"
#include "study/study_json.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kStudyKeys{"name",    "portal",     "inputs",    "outputs",
                                          "files",   "deck",       "modules",   "solver",
                                          "parameters", "responses", "designs", "slurm"};

// Inside the study's folder a file keeps its place relative to the study file,
// so that a deck's includes still find their files; anything else lands in
// the design folder under its own name.
PlacedFile place(const std::string& folder, const std::string& path) {
  const fs::path given(path);
  PlacedFile file;
  file.source = (given.is_absolute() ? given : fs::path(folder) / given).lexically_normal().string();
  const fs::path relative = fs::path(file.source).lexically_relative(folder);
  const bool inside = !relative.empty() && *relative.begin() != ".." && relative.is_relative();
  file.placed = inside ? relative.string() : given.filename().string();
  return file;
}

class Reader {
 public:
  Reader(const std::string& folder, LoadedStudy& out) : folder_(folder), out_(out), study_(out.study) {}

  void read(const Json& json) {
    if (!json.is_object()) throw StudyError("the study must be a JSON object");
    note(unknownKeys(json, kStudyKeys, ""));
    study_.name = requiredText(json, "name", "");
    checkName();
    study_.portal = optionalText(json, "portal", "", "Brisol");
    study_.modules = optionalText(json, "modules", "", "static");
    if (json.contains("deck")) study_.deck = existing(place(folder_, requiredText(json, "deck", "")), "deck");
    readEntries(json, "inputs", study_.inputs);
    readEntries(json, "outputs", study_.outputs);
    readFiles(json);
    readParameters(json);
    readResponses(json);
    study_.solver = readSolver(json, study_.hasDeck(), out_.problems);
    study_.designs = readDesigns(json, study_.parameters, out_.problems);
    readSlurm(json);
    checkPlaces();
    if (study_.inputs.empty() && !study_.hasDeck()) note("inputs: the study writes its values into no file");
  }

 private:
  void note(const std::string& problem) { out_.problems.push_back(problem); }
  void note(const std::vector<std::string>& problems) {
    out_.problems.insert(out_.problems.end(), problems.begin(), problems.end());
  }

  void checkName() {
    if (study_.name.empty()) throw StudyError("name: must not be empty");
    for (char c : study_.name) {
      if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) {
        throw StudyError("name: \"" + study_.name + "\" cannot name files (no slashes or control characters)");
      }
    }
  }

  PlacedFile existing(PlacedFile file, const std::string& where) {
    std::error_code error;
    if (!fs::is_regular_file(file.source, error)) note(where + ": " + file.source + " is not a file");
    return file;
  }

  void readEntries(const Json& json, const char* key, std::vector<TaggedFile>& into) {
    if (!json.contains(key)) return;
    const Json& list = json[key];
    if (!list.is_array()) throw StudyError(std::string(key) + ": must be a list of file entries");
    const bool isInput = std::string(key) == "inputs";
    for (std::size_t i = 0; i < list.size(); ++i) {
      const std::string where = std::string(key) + "[" + std::to_string(i) + "]";
      into.push_back(readEntry(list[i], where, isInput));
    }
  }

  TaggedFile readEntry(const Json& entry, const std::string& where, bool isInput) {
    if (!entry.is_object()) throw StudyError(where + ": must be an object with \"file\" and its tags");
    note(unknownKeys(entry, {"file", "tags", "mark", "script", "xml"}, where));
    TaggedFile file;
    file.where = where;
    const PlacedFile placed = place(folder_, requiredText(entry, "file", where));
    // An output is made by the solver; only an input must exist beforehand.
    file.file = isInput ? existing(placed, where + ".file") : placed;
    int given = 0;
    for (const char* kind : {"tags", "mark", "script", "xml"}) given += entry.contains(kind) ? 1 : 0;
    if (given != 1) {
      throw StudyError(where + ": needs exactly one of \"tags\", \"mark\", \"script\" or \"xml\"");
    }
    if (entry.contains("tags")) {
      file.source = TagSource::TagFile;
      file.tagFile = existing(place(folder_, requiredText(entry, "tags", where)), where + ".tags").source;
    } else if (entry.contains("mark")) {
      file.source = TagSource::Mark;
      file.inlineTags = markTags(entry["mark"], where + ".mark");
    } else if (entry.contains("script")) {
      file.source = TagSource::Script;
      file.inlineTags = scriptTags(entry["script"], where + ".script");
    } else {
      file.source = TagSource::Xml;
      file.inlineTags = xmlTags(entry["xml"], where + ".xml");
    }
    return file;
  }

  Json markTags(const Json& tags, const std::string& where) {
    expectObject(tags, where, "name -> Mark tag fields");
    Json out = Json::object();
    for (const auto& item : tags.items()) {
      const std::string at = where + "." + item.key();
      expectObject(item.value(), at, "the Mark tag's fields");
      note(unknownKeys(item.value(), {"mode", "row", "col", "delims", "widths", "format"}, at));
      const std::string mode = requiredText(item.value(), "mode", at);
      if (mode != "free" && mode != "fixed") throw StudyError(at + ".mode: must be \"free\" or \"fixed\"");
      Json tag = {{"mode", mode},
                  {"row", wholeNumberText(item.value(), "row", at)},
                  {"col", wholeNumberText(item.value(), "col", at)},
                  {"format", optionalText(item.value(), "format", at, "")}};
      // The tag record keeps a fixed-width tag's widths where a free tag keeps its delimiters.
      const char* spacing = mode == "fixed" && item.value().contains("widths") ? "widths" : "delims";
      tag["delims"] = optionalText(item.value(), spacing, at, mode == "free" ? "\\,;\"=()'\\t\\s" : "10");
      out[item.key()] = tag;
    }
    return out;
  }

  Json scriptTags(const Json& tags, const std::string& where) {
    expectObject(tags, where, "name -> script text");
    Json out = Json::object();
    for (const auto& item : tags.items()) {
      const std::string at = where + "." + item.key();
      if (item.value().is_string()) {
        out[item.key()] = item.value();
      } else if (item.value().is_array()) {
        std::string code;
        for (const Json& line : item.value()) {
          if (!line.is_string()) throw StudyError(at + ": the script's lines must be texts");
          code += (code.empty() ? "" : "\n") + line.get<std::string>();
        }
        out[item.key()] = code;
      } else {
        throw StudyError(at + ": must be the script, its lines joined with line feeds");
      }
    }
    return out;
  }

  Json xmlTags(const Json& tags, const std::string& where) {
    expectObject(tags, where, "name -> {\"xpath\", \"xid\"}");
    Json out = Json::object();
    for (const auto& item : tags.items()) {
      const std::string at = where + "." + item.key();
      expectObject(item.value(), at, "{\"xpath\", \"xid\"}");
      note(unknownKeys(item.value(), {"xpath", "xid", "format"}, at));
      out[item.key()] = {{"xpath", requiredText(item.value(), "xpath", at)},
                         {"xid", requiredText(item.value(), "xid", at)},
                         {"format", optionalText(item.value(), "format", at, "")}};
    }
    return out;
  }

  void readFiles(const Json& json) {
    if (!json.contains("files")) return;
    if (!json["files"].is_array()) throw StudyError("files: must be a list of paths");
    for (std::size_t i = 0; i < json["files"].size(); ++i) {
      const std::string where = "files[" + std::to_string(i) + "]";
      if (!json["files"][i].is_string()) throw StudyError(where + ": must be a path");
      study_.files.push_back(existing(place(folder_, json["files"][i].get<std::string>()), where));
    }
  }

  void readParameters(const Json& json) {
    if (!json.contains("parameters")) throw StudyError("parameters: missing (the design variables)");
    expectObject(json["parameters"], "parameters", "name -> {} or {\"group\", \"abbreviation\", \"format\"}");
    for (const auto& item : json["parameters"].items()) {
      const std::string where = "parameters." + item.key();
      checkValueName(item.key(), where);
      expectObject(item.value(), where, "{} or {\"group\", \"abbreviation\", \"format\"}");
      note(unknownKeys(item.value(), {"group", "abbreviation", "format"}, where));
      StudyParameter p;
      p.name = item.key();
      p.onDeck = !item.value().empty();
      if (p.onDeck) {
        p.abbreviation = requiredText(item.value(), "abbreviation", where);
        p.group = optionalText(item.value(), "group", where, "ABRE");
        p.format = optionalText(item.value(), "format", where, "");
        if (!study_.hasDeck()) note(where + ": is tied to a deck's abbreviation, but the study has no \"deck\"");
      }
      study_.parameters.push_back(p);
    }
    if (study_.parameters.empty()) throw StudyError("parameters: the study varies nothing");
  }

  void readResponses(const Json& json) {
    if (!json.contains("responses")) throw StudyError("responses: missing (what is read back)");
    expectObject(json["responses"], "responses", "name -> {}, {\"type\": \"text\"} or result-catalogue codes");
    for (const auto& item : json["responses"].items()) {
      const std::string where = "responses." + item.key();
      checkValueName(item.key(), where);
      expectObject(item.value(), where, "{}, {\"type\": \"text\"} or result-catalogue codes");
      StudyResponse r;
      r.name = item.key();
      for (const auto& attribute : item.value().items()) {
        if (!attribute.value().is_string()) throw StudyError(where + "." + attribute.key() + ": must be a text");
        const std::string value = attribute.value().get<std::string>();
        if (attribute.key() == "type") {
          if (value != "text" && value != "number") throw StudyError(where + ".type: must be \"text\" or \"number\"");
          r.text = value == "text";
        } else {
          r.attributes.emplace_back(attribute.key(), value);
        }
      }
      r.onDeck = !r.attributes.empty();
      if (r.onDeck && !study_.hasDeck()) {
        note(where + ": is named by result-catalogue codes, but the study has no \"deck\"");
      }
      study_.responses.push_back(r);
    }
    if (study_.responses.empty()) throw StudyError("responses: the study reads nothing back");
  }

  // The portal's lists of names are split at commas and lines.
  static void checkValueName(const std::string& name, const std::string& where) {
    if (name.empty() || name.find_first_of(",\n\r%") != std::string::npos || name.front() == ' ' ||
        name.back() == ' ') {
      throw StudyError(where + ": a name must be non-empty, without commas, percent signs, line breaks "
                               "or blanks at its ends");
    }
  }

  void readSlurm(const Json& json) {
    if (!json.contains("slurm")) return;
    expectObject(json["slurm"], "slurm", "{\"options\": [...]}");
    note(unknownKeys(json["slurm"], {"options"}, "slurm"));
    if (!json["slurm"].contains("options")) return;
    study_.slurmOptions = textList(json["slurm"], "options", "slurm");
  }

  // Two files landing on one place in a design folder would overwrite each other.
  void checkPlaces() {
    std::map<std::string, std::string> seen;
    auto claim = [&](const std::string& placed, const std::string& where) {
      auto [it, fresh] = seen.emplace(placed, where);
      if (!fresh) note(where + ": lands on " + placed + " in every design folder, as " + it->second + " does");
    };
    if (study_.hasDeck()) claim(study_.deck.placed, "deck");
    for (const TaggedFile& f : study_.inputs) claim(f.file.placed, f.where + ".file");
    for (std::size_t i = 0; i < study_.files.size(); ++i) claim(study_.files[i].placed, "files[" + std::to_string(i) + "]");
  }

  std::string folder_;
  LoadedStudy& out_;
  Study& study_;
};

}  // namespace

LoadedStudy studyFromJson(const Json& json, const std::string& folder, const std::string& file) {
  LoadedStudy loaded;
  loaded.source = json;
  loaded.study.studyFile = file;
  loaded.study.folder = folder;
  try {
    Reader(folder, loaded).read(json);
  } catch (const StudyError& error) {
    // A key reported missing is often one spelt wrong: say what else was found.
    std::string text = error.what();
    for (const std::string& problem : loaded.problems) text += "\n  " + problem;
    throw StudyError(text);
  }
  return loaded;
}

LoadedStudy readStudyFile(const std::string& path) {
  const std::string file = fs::absolute(path).lexically_normal().string();
  std::error_code error;
  if (!fs::is_regular_file(file, error)) throw StudyError(path + ": no such study file");
  std::ifstream in(file, std::ios::binary);
  if (!in) throw StudyError(path + ": cannot be read");
  Json json;
  try {
    json = Json::parse(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  } catch (const Json::exception& e) {
    throw StudyError(path + ": not valid JSON: " + e.what());
  }
  return studyFromJson(json, fs::path(file).parent_path().string(), file);
}

}  // namespace portalhost
