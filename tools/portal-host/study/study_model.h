// A study as the host runs it: the files of one analysis and how values are
// tied to them, the solver and what counts as its success, the design
// variables, the responses and the designs. Read from a study file
// (study_reader.h); every path here is absolute or relative to a design folder.
#ifndef PORTAL_HOST_STUDY_STUDY_MODEL_H
#define PORTAL_HOST_STUDY_STUDY_MODEL_H

#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "scenario_json.h"
#include "study/design_space.h"

namespace portalhost {

// The study file or the command line is wrong (exit status 2).
class StudyError : public std::runtime_error {
 public:
  explicit StudyError(const std::string& what) : std::runtime_error(what) {}
};

// A file that every design folder gets a copy of.
struct PlacedFile {
  std::string source;  // absolute path in the user's folders
  std::string placed;  // path inside a design folder
};

// How a tagged file's tags are given: a tag file of the user's, or inline
// tags that the portal's engines turn into a tag file at the study's start.
enum class TagSource { TagFile, Mark, Script, Xml };

struct TaggedFile {
  PlacedFile file;
  TagSource source = TagSource::TagFile;
  std::string tagFile;  // TagFile: absolute path of the user's tag file
  Json inlineTags;      // Mark, Script, Xml: name -> the tag, as the study file gives it
  std::string where;    // "inputs[0]", for messages
};

// A check on a file of the design folder after the run: the design fails
// when the file holds the text (or a line matches the expression).
struct FailIf {
  std::string file;  // inside the design folder
  std::string text;
  bool regex = false;
};

struct SolverSettings {
  // The program and its arguments, never passed through a shell; {design}
  // and {folder} are replaced in each word. Empty: the Brisol form, where
  // `program` is run as `<program> <deck file name>`.
  std::vector<std::string> command;
  std::string program;
  std::vector<std::pair<std::string, std::string>> env;
  double timeoutSeconds = 0;  // 0: no limit
  std::vector<int> exitCodes{0};
  std::vector<FailIf> failIf;
};

struct StudyParameter {
  std::string name;
  bool onDeck = false;       // tied to a Brisol deck's abbreviation command
  std::string group;         // "ABRE", "ABREM[...]", "ABREBOS"
  std::string abbreviation;  // the deck's abbreviation that receives it
  std::string format;        // how its value is printed into the deck; "" the exact number
};

struct StudyResponse {
  std::string name;
  bool text = false;   // a text response; otherwise numeric
  bool onDeck = false;  // named by result-catalogue codes of the Brisol results
  std::vector<std::pair<std::string, std::string>> attributes;  // the catalogue codes
};

struct Study {
  std::string name;
  std::string portal = "Brisol";  // the portal type asked of portalFactory
  std::string studyFile;          // absolute
  std::string folder;             // the study file's folder
  PlacedFile deck;                // Brisol form; source empty when there is none
  std::string modules = "static";
  std::vector<TaggedFile> inputs;
  std::vector<TaggedFile> outputs;
  std::vector<PlacedFile> files;
  SolverSettings solver;
  std::vector<StudyParameter> parameters;
  std::vector<StudyResponse> responses;
  DesignSpace designs;
  std::vector<std::string> slurmOptions;

  bool hasDeck() const { return !deck.source.empty(); }
  // The results database a Brisol deck's run leaves: "<deck stem>.sdb".
  std::string deckResults() const;
  const StudyResponse* response(const std::string& name) const;
  bool hasParameter(const std::string& name) const;
};

}  // namespace portalhost

#endif
