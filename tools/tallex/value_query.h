// The answer to one $$QUIET_GET_VALUE request. The query watches the database
// go by, settles which result, scalar, support, selection and step the request
// means, and keeps only the rows it needs; after the database is read it
// writes its block: the numbers, or one "%%%E" line saying what was wrong.
#ifndef TALLEX_VALUE_QUERY_H
#define TALLEX_VALUE_QUERY_H

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "answer_output.h"
#include "location_pattern.h"
#include "request_file.h"
#include "results_database.h"

namespace tallex {

class ValueQuery : public DatabaseVisitor {
 public:
  // `echo` is the request line as read; `malformed`, when not empty, says why
  // its fields could not be read, and the query then answers only that.
  ValueQuery(std::string echo, const ValueRequest& request, std::string malformed = {});

  void resultBegins(const ResultHeader& result) override;
  bool stepBegins(const Step& step) override;
  void row(const std::int64_t* ids, const double* components) override;
  void resultEnds() override;

  // Writes the block; call once the whole database has been read.
  void writeAnswer(AnswerOutput& out) const;

  // Why the request gets no values (without the "%%%E " of the answer);
  // empty when it gets them.
  std::string error() const;
  std::size_t valueCount() const { return values_.size(); }

 private:
  bool resolveScalar(const ResultHeader& result);
  bool resolveLocation(const ResultHeader& result);
  bool resolveSelection(const ResultHeader& result);
  // How far `step` lies from the requested reference; negative when it is not it.
  double referenceDistance(const Step& step) const;
  void finishResult();

  std::string echo_;
  ValueRequest request_;
  std::string error_;
  bool timeRequested_ = false;  // the reference reads "Time <number>"
  double requestedTime_ = 0.0;

  // Set while the requested result is being read.
  bool inResult_ = false;
  bool resultFound_ = false;
  bool collecting_ = false;
  ScalarTransform scalar_;
  std::vector<IdFilter> filters_;
  const Support* support_ = nullptr;  // valid only inside resultBegins
  int selection_ = -1;
  std::string selectionCode_;
  std::string resultLabel_;    // "result \"DISP\"" for messages
  std::string description_;    // line 2 of the answer, but for the reference
  std::string locationShown_;  // the request's location, or the code of the support a blank one picked
  std::vector<std::string> idKinds_;

  ReferenceKind referenceKind_ = ReferenceKind::None;
  std::vector<std::string> referencesSeen_;  // distinct references of the result's steps, in file order
  std::unordered_set<std::string> referenceSet_;
  bool referenceMatched_ = false;  // some step (of any selection) is the one asked for
  double bestDistance_ = -1.0;     // of the step collected; negative before any
  std::string matchedReference_;
  long stepCount_ = 0;

  std::vector<std::int64_t> ids_;  // idKinds_.size() per value
  std::vector<double> values_;
};

}  // namespace tallex

#endif
