#include "study/tag_setup.h"

#include <filesystem>
#include <set>

#include "xmlportal/tag_data.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;
using ORLIX::Portals::TagData;
using ORLIX::Portals::TagList;

const char* const kDeckResultsLabel = "deck results";

std::string fileName(const std::string& placed) { return fs::path(placed).filename().string(); }

std::string label(const std::string& where, const std::string& placed) { return where + " (" + placed + ")"; }

// A script names the values it serves in SET_PARAMETER_LIST; an inline script
// keyed by those names need not repeat them.
TagData scriptTag(const std::string& names, const std::string& script) {
  TagData tag;
  tag.path = {names};
  tag.paramType = "Continuous";
  const std::string keyword = "SET_PARAMETER_LIST(";
  const auto at = script.find(keyword);
  if (at == std::string::npos) {
    tag.paramName = names;
    tag.add("code", "SET_PARAMETER_LIST(%names%)\n" + script);
  } else {
    const auto open = at + keyword.size();
    const auto close = script.find(')', open);
    tag.paramName = script.substr(open, close == std::string::npos ? std::string::npos : close - open);
    tag.add("code", script);
  }
  tag.add("mode", "script");
  return tag;
}

TagList inlineTags(const TaggedFile& entry, std::string& mode) {
  TagList tags;
  const std::string name = fileName(entry.file.placed);
  for (const auto& item : entry.inlineTags.items()) {
    const Json& definition = item.value();
    TagData tag;
    if (entry.source == TagSource::Script) {
      tag = scriptTag(item.key(), definition.get<std::string>());
      mode = "script";
    } else {
      tag.path = {item.key()};
      tag.paramName = item.key();
      tag.paramType = "Continuous";
      if (entry.source == TagSource::Mark) {
        mode = "free";
        for (const char* key : {"mode", "row", "delims", "col", "format"}) tag.add(key, definition[key].get<std::string>());
      } else {
        mode = "xml";
        tag.add("mode", "xml");
        for (const char* key : {"format", "xpath", "xid"}) tag.add(key, definition[key].get<std::string>());
      }
    }
    tag.add("filename", name);
    tags.push_back(tag);
  }
  return tags;
}

TagList deckParameterTags(const Study& study) {
  TagList tags;
  for (const StudyParameter& p : study.parameters) {
    if (!p.onDeck) continue;
    TagData tag;
    tag.path = {p.group, p.abbreviation};
    tag.paramName = p.name;
    tag.paramType = "Continuous";
    tag.add("mode", "portal");
    tag.add("format", p.format);
    tags.push_back(tag);
  }
  return tags;
}

TagList deckResponseTags(const Study& study) {
  TagList tags;
  for (const StudyResponse& r : study.responses) {
    if (!r.onDeck) continue;
    TagData tag;
    tag.path = {"Responses", r.name};
    tag.paramName = r.name;
    tag.paramType = "Continuous";
    tag.add("mode", "portal");
    for (const auto& [key, value] : r.attributes) tag.add(key, value, "PortalData");
    tags.push_back(tag);
  }
  return tags;
}

class TagWriter {
 public:
  TagWriter(ORLIX::IPortal& portal, const Study& study, const std::string& folder)
      : portal_(portal), study_(study), folder_(folder) {}

  std::string write(const std::string& placed, TagList tags, const std::string& mode, bool isInput,
                    const std::string& where) {
    const std::string name = fileName(placed);
    const ORLIX::StringStringMap props{{"mode", mode},       {"analysisName", study_.name},
                                       {"destDir", folder_}, {"version", kAnalysisVersion},
                                       {"solverName", study_.portal}};
    ORLIX::StringStringMap outData;
    std::string message;
    const bool written = isInput ? portal_.writeInputTagData(name, tags, props, outData, message)
                                 : portal_.writeOutputTagData(name, tags, props, outData, message);
    const std::string key = name + (isInput ? "_intagfile" : "_outtagfile");
    if (!written || outData[key].empty()) {
      throw StudyError(where + ": the portal wrote no tag file" + (message.empty() ? "" : ": " + message));
    }
    return claim(folder_ + "/" + outData[key], where);
  }

  std::string copy(const std::string& tagFile, const std::string& where) {
    const std::string target = folder_ + "/" + fileName(tagFile);
    claim(target, where);
    std::error_code error;
    fs::copy_file(tagFile, target, fs::copy_options::overwrite_existing, error);
    if (error) throw StudyError(where + ".tags: cannot be copied to " + target + ": " + error.message());
    return target;
  }

 private:
  // The portal knows a tag file by its name alone, so two of one name would be one.
  std::string claim(const std::string& path, const std::string& where) {
    if (!claimed_.insert(path).second) {
      throw StudyError(where + ": its tag file " + fileName(path) + " has the name of another one of the study");
    }
    return path;
  }

  ORLIX::IPortal& portal_;
  const Study& study_;
  std::string folder_;
  std::set<std::string> claimed_;
};

TaggedPlace tagEntry(TagWriter& writer, const TaggedFile& entry, bool isInput) {
  TaggedPlace place{entry.file.placed, "", label(entry.where, entry.file.placed)};
  if (entry.source == TagSource::TagFile) {
    place.tagFile = writer.copy(entry.tagFile, entry.where);
  } else {
    std::string mode;
    place.tagFile = writer.write(entry.file.placed, inlineTags(entry, mode), mode, isInput, entry.where);
  }
  return place;
}

}  // namespace

const char* const kAnalysisVersion = "1.0";

std::vector<std::string> tagNames(const TagData& tag) {
  std::vector<std::string> names;
  std::size_t start = 0;
  for (std::size_t comma = 0; comma != std::string::npos; start = comma + 1) {
    comma = tag.paramName.find(',', start);
    std::string name = tag.paramName.substr(start, comma == std::string::npos ? comma : comma - start);
    name.erase(0, name.find_first_not_of(" \t\r\n"));
    name.erase(name.find_last_not_of(" \t\r\n") + 1);
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

StudyTags prepareTags(ORLIX::IPortal& portal, const Study& study, const std::string& tagFolder) {
  std::error_code error;
  fs::create_directories(tagFolder, error);
  if (error) throw StudyError("cannot make " + tagFolder + ": " + error.message());
  TagWriter writer(portal, study, tagFolder);
  StudyTags tags;
  if (study.hasDeck()) {
    const TagList parameters = deckParameterTags(study);
    const std::string where = label("deck", study.deck.placed);
    tags.inputs.push_back({study.deck.placed,
                           parameters.empty() ? "" : writer.write(study.deck.placed, parameters, "portal", true, "deck"),
                           where});
    const TagList responses = deckResponseTags(study);
    tags.outputs.push_back({study.deckResults(),
                            responses.empty() ? "" : writer.write(study.deckResults(), responses, "portal", false,
                                                                  kDeckResultsLabel),
                            label(kDeckResultsLabel, study.deckResults())});
  }
  for (const TaggedFile& entry : study.inputs) tags.inputs.push_back(tagEntry(writer, entry, true));
  for (const TaggedFile& entry : study.outputs) tags.outputs.push_back(tagEntry(writer, entry, false));
  return tags;
}

void configureAnalysis(StudyService& service, const Study& study, const StudyTags& tags) {
  const std::string primaryInput = tags.inputs.empty() ? "" : fileName(tags.inputs.front().placed);
  const std::string primaryOutput = tags.outputs.empty() ? "" : fileName(tags.outputs.front().placed);
  service.analysis["analysisPortalData"] = ORLIX::StringStringMap{
      {"Lines", "primaryInput: " + primaryInput + "\nprimaryOutput: " + primaryOutput + "\nmodules: " + study.modules}};
  // The Brisol form's launcher is also where the portal finds the results module.
  service.analysis["AnalysisProperty#install"] =
      ORLIX::StringStringMap{{"install", study.solver.program.empty() ? "brisol" : study.solver.program}};
  for (const StudyResponse& r : study.responses) service.textResponses[r.name] = r.text;
}

namespace {

std::string joinedPaths(const std::vector<TaggedPlace>& places, const std::string& folder, bool tagFiles) {
  std::string out;
  for (std::size_t i = 0; i < places.size(); ++i) {
    if (i) out += '\n';
    out += tagFiles ? places[i].tagFile : folder + "/" + places[i].placed;
  }
  return out;
}

}  // namespace

ORLIX::StringStringMap designProps(const std::string& analysisName, const StudyTags& tags,
                                   const std::string& folder, std::uint64_t designNumber) {
  return ORLIX::StringStringMap{{"analysisName", analysisName},
                                {"evalId", std::to_string(designNumber)},
                                {"destDir", folder},
                                {"version", kAnalysisVersion},
                                {"inputFilepaths", joinedPaths(tags.inputs, folder, false)},
                                {"inputTagFilepaths", joinedPaths(tags.inputs, folder, true)},
                                {"outputFilepaths", joinedPaths(tags.outputs, folder, false)},
                                {"outputTagFilepaths", joinedPaths(tags.outputs, folder, true)}};
}

}  // namespace portalhost
