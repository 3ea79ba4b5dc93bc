#include "value_query.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tallex {
namespace {

// A time written with %g by whoever asks keeps six digits; the step it means
// must still be found.
constexpr double kTimeTolerance = 1e-6;

// Long lists are cut, so that one error line stays readable.
constexpr std::size_t kListedAtMost = 10;

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

template <typename Items, typename Code>
std::string listOf(const Items& items, Code code) {
  std::string text;
  std::size_t listed = 0;
  for (const auto& item : items) {
    if (listed == kListedAtMost) return text + ", ...";
    text += (listed++ == 0 ? "" : ", ") + code(item);
  }
  return text;
}

bool readTime(const std::string& reference, double& time) {
  const std::vector<std::string_view> words = splitWords(reference);
  if (words.size() != 2 || words[0] != "Time") return false;
  const char* first = words[1].data();
  const char* last = first + words[1].size();
  if (first != last && *first == '+') ++first;
  const auto [end, status] = std::from_chars(first, last, time);
  return status == std::errc() && end == last && std::isfinite(time);
}

std::string stepReference(const Step& step) {
  switch (step.reference) {
    case ReferenceKind::Time:
      return "Time " + formatNumber(step.time);
    case ReferenceKind::Code:
      return step.code;
    case ReferenceKind::None:
      break;
  }
  return {};
}

}  // namespace

ValueQuery::ValueQuery(std::string echo, const ValueRequest& request, std::string malformed)
    : echo_(std::move(echo)), request_(request) {
  if (!malformed.empty()) {
    error_ = "Malformed request: " + malformed;
  } else if (request_.nature.empty()) {
    error_ = "The request names no result nature";
  }
  timeRequested_ = readTime(request_.reference, requestedTime_);
}

std::string ValueQuery::error() const {
  if (!error_.empty()) return error_;
  if (!resultFound_) return "Unknown result nature " + quoted(request_.nature);
  return {};
}

void ValueQuery::resultBegins(const ResultHeader& result) {
  if (!error_.empty() || result.nature != request_.nature) return;
  resultFound_ = true;
  resultLabel_ = "result " + quoted(result.nature);
  if (!resolveScalar(result) || !resolveLocation(result) || !resolveSelection(result)) return;
  inResult_ = true;
  idKinds_ = result.idKinds;
  locationShown_ = request_.location.empty() ? support_->location : request_.location;
  // "Node 12" says more than "Node"; "All nodes" more than "NODES".
  description_ = result.name + ": " + scalar_.name + " at " + (filters_.empty() ? support_->name : request_.location);
  if (selection_ >= 0) description_ += ", " + result.selections[selection_].text;
}

bool ValueQuery::resolveScalar(const ResultHeader& result) {
  const auto code = [](const ScalarTransform& scalar) { return scalar.code; };
  if (result.scalars.empty()) {
    if (!request_.transformation.empty()) {
      error_ = "Result " + quoted(result.nature) + " has no transformations; found " + quoted(request_.transformation);
      return false;
    }
    // The reader admits a result without SCALAR lines only when it stores one component.
    scalar_ = ScalarTransform{result.components[0], result.components[0], ScalarKind::Component, {0}};
    return true;
  }
  if (request_.transformation.empty()) {
    if (result.scalars.size() == 1) {
      scalar_ = result.scalars[0];
      return true;
    }
    error_ =
        "Result " + quoted(result.nature) + " needs a transformation (choices: " + listOf(result.scalars, code) + ")";
    return false;
  }
  for (const ScalarTransform& scalar : result.scalars) {
    if (scalar.code == request_.transformation) {
      scalar_ = scalar;
      return true;
    }
  }
  error_ = "Unknown transformation " + quoted(request_.transformation) + " for " + resultLabel_ +
           " (choices: " + listOf(result.scalars, code) + ")";
  return false;
}

bool ValueQuery::resolveLocation(const ResultHeader& result) {
  const auto code = [](const Support& support) { return support.location; };
  if (request_.location.empty()) {
    // A support matches its own code only when it has no "%d" to fill in.
    if (result.supports.size() == 1 && result.supports[0].pattern.match(result.supports[0].location, filters_)) {
      support_ = &result.supports[0];
      return true;
    }
    error_ = "Result " + quoted(result.nature) + " needs a location (supports: " + listOf(result.supports, code) + ")";
    return false;
  }
  for (const Support& support : result.supports) {
    if (support.pattern.match(request_.location, filters_)) {
      support_ = &support;
      return true;
    }
  }
  error_ = "Unknown location " + quoted(request_.location) + " for " + resultLabel_ +
           " (supports: " + listOf(result.supports, code) + ")";
  return false;
}

bool ValueQuery::resolveSelection(const ResultHeader& result) {
  const auto code = [](const Choice& choice) { return choice.code; };
  selection_ = -1;
  if (result.selections.empty()) {
    if (request_.selection.empty()) return true;
    error_ = "Result " + quoted(result.nature) + " has no selections; found " + quoted(request_.selection);
    return false;
  }
  if (request_.selection.empty()) {
    if (result.selections.size() == 1) {
      selection_ = 0;
      selectionCode_ = result.selections[0].code;
      return true;
    }
    error_ =
        "Result " + quoted(result.nature) + " needs a selection (choices: " + listOf(result.selections, code) + ")";
    return false;
  }
  for (std::size_t i = 0; i < result.selections.size(); ++i) {
    if (result.selections[i].code == request_.selection) {
      selection_ = static_cast<int>(i);
      selectionCode_ = request_.selection;
      return true;
    }
  }
  error_ = "Unknown selection " + quoted(request_.selection) + " for " + resultLabel_ +
           " (choices: " + listOf(result.selections, code) + ")";
  return false;
}

double ValueQuery::referenceDistance(const Step& step) const {
  if (request_.reference.empty()) return 0.0;
  switch (step.reference) {
    case ReferenceKind::None:
      return -1.0;
    case ReferenceKind::Code:
      return step.code == request_.reference ? 0.0 : -1.0;
    case ReferenceKind::Time: {
      if (!timeRequested_) return -1.0;
      const double distance = std::fabs(step.time - requestedTime_);
      const double scale = std::max(std::fabs(step.time), std::fabs(requestedTime_));
      return distance <= kTimeTolerance * scale ? distance : -1.0;
    }
  }
  return -1.0;
}

bool ValueQuery::stepBegins(const Step& step) {
  collecting_ = false;
  if (!inResult_) return false;
  ++stepCount_;
  referenceKind_ = step.reference;
  const std::string reference = stepReference(step);
  if (referenceSet_.insert(reference).second) referencesSeen_.push_back(reference);
  const double distance = referenceDistance(step);
  if (distance < 0.0) return false;
  referenceMatched_ = true;
  if (step.selection != selection_) return false;
  // Two stored times may both be within reach of a rounded request: the nearer wins.
  if (bestDistance_ >= 0.0 && distance >= bestDistance_) return false;
  bestDistance_ = distance;
  matchedReference_ = step.reference == ReferenceKind::Code ? step.text : reference;
  ids_.clear();
  values_.clear();
  collecting_ = true;
  return true;
}

void ValueQuery::row(const std::int64_t* ids, const double* components) {
  if (!collecting_) return;
  for (const IdFilter& filter : filters_)
    if (ids[filter.column] != filter.id) return;
  ids_.insert(ids_.end(), ids, ids + idKinds_.size());
  values_.push_back(evaluate(scalar_, components));
}

void ValueQuery::resultEnds() {
  if (!inResult_) return;
  inResult_ = false;
  collecting_ = false;
  finishResult();
}

void ValueQuery::finishResult() {
  const std::string result = quoted(request_.nature);
  const std::string asked = quoted(request_.reference);
  if (stepCount_ == 0) {
    error_ = "Result " + result + " holds no values";
  } else if (request_.reference.empty() && referencesSeen_.size() > 1) {
    error_ = "Result " + result + " needs a reference (choices: " + listOf(referencesSeen_, quoted) + ")";
  } else if (!request_.reference.empty() && referenceKind_ == ReferenceKind::None) {
    error_ = "Result " + result + " has no references; found " + asked;
  } else if (!referenceMatched_) {
    error_ =
        "Unknown reference " + asked + " for " + resultLabel_ + " (choices: " + listOf(referencesSeen_, quoted) + ")";
  } else if (bestDistance_ < 0.0) {
    error_ = "No values for " + resultLabel_ + " with selection " + quoted(selectionCode_) + " at reference " +
             quoted(request_.reference.empty() ? referencesSeen_[0] : request_.reference);
  } else if (values_.empty()) {
    error_ = "No values for location " + quoted(locationShown_) + " of " + resultLabel_;
  }
  if (!error_.empty()) {
    ids_.clear();
    values_.clear();
  }
}

void ValueQuery::writeAnswer(AnswerOutput& out) const {
  out.line(echo_);
  const std::string why = error();
  if (!why.empty()) {
    out.line("%%% " + why);
    return;
  }
  // N1 = 1: the kinds line is the only line before the identifiers.
  out.line("1");
  out.line(matchedReference_.empty() ? description_ : description_ + ", " + matchedReference_);
  out.integer(static_cast<std::int64_t>(values_.size()));
  out.put('\n');
  out.put('\'');
  for (std::size_t k = 0; k < idKinds_.size(); ++k) {
    if (k > 0) out.put('%');
    out.put(idKinds_[k]);
  }
  out.line("'");
  const std::size_t width = idKinds_.size();
  for (std::size_t i = 0; i < values_.size(); ++i) {
    for (std::size_t k = 0; k < width; ++k) {
      if (k > 0) out.put(' ');
      out.integer(ids_[i * width + k]);
    }
    out.put('\n');
  }
  for (double value : values_) {
    out.number(value);
    out.put('\n');
  }
}

}  // namespace tallex
