// The results database: the text file the solver writes and we read (its
// format is described in README.md). It is read in one pass, and its parts
// are handed to a visitor as they go by, so a database with millions of
// values is never held in memory; only the rows a visitor asks for are kept,
// by that visitor.
#ifndef TALLEX_RESULTS_DATABASE_H
#define TALLEX_RESULTS_DATABASE_H

#include <cstdint>
#include <string>
#include <vector>

#include "line_reader.h"
#include "location_pattern.h"
#include "scalar_transform.h"

namespace tallex {

// First line of every database; the number is the format version.
inline constexpr const char* kDatabaseMagic = "$$TALLEX_RESULTS";
inline constexpr int kDatabaseVersion = 1;

struct Choice {
  std::string code;
  std::string text;
};

struct Support {
  std::string location;  // the code as written, placeholders included
  std::string name;
  LocationPattern pattern;
};

// Everything a result declares before its values.
struct ResultHeader {
  std::string nature;
  std::string name;
  std::vector<std::string> idKinds;     // identifier columns of each row ("Element", "Node", "Ply")
  std::vector<std::string> components;  // stored numbers of each row, after the identifiers
  std::vector<ScalarTransform> scalars;
  std::vector<Support> supports;
  std::vector<Choice> selections;
};

// How the steps of one result are told apart. A result uses one way for all
// of its steps.
enum class ReferenceKind {
  None,  // one set of values (per selection), no reference
  Time,  // "STEP TIME 0.5": picked by "Time 0.5"
  Code,  // "STEP "LC1" "Load case 1"": picked by "LC1"
};

struct Step {
  ReferenceKind reference = ReferenceKind::None;
  double time = 0.0;   // ReferenceKind::Time
  std::string code;    // ReferenceKind::Code
  std::string text;    // ReferenceKind::Code
  int selection = -1;  // index into ResultHeader::selections; -1 without selections
};

class DatabaseVisitor {
 public:
  virtual ~DatabaseVisitor() = default;
  // The header stays valid until resultEnds().
  virtual void resultBegins(const ResultHeader& result) = 0;
  // True when the visitor wants the rows of this step.
  virtual bool stepBegins(const Step& step) = 0;
  // One row: ids has one entry per identifier kind, components one per component.
  virtual void row(const std::int64_t* ids, const double* components) = 0;
  virtual void resultEnds() = 0;
};

// Reads a whole database. False when the text is not a valid database, with
// `error` saying where and why ("line 12: ..."); the visitor may have seen
// part of it by then.
bool readDatabase(LineReader& lines, DatabaseVisitor& visitor, std::string& error);

}  // namespace tallex

#endif
