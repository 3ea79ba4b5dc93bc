// What one design's run leaves: its values, whether it succeeded and, when
// not, the stage that failed first and why, the responses, the solver's exit
// code and the time taken. Workers send it to the parent as bytes that carry
// any double and any text exactly; the journal writes it as a JSON line.
#ifndef PORTAL_HOST_STUDY_DESIGN_RECORD_H
#define PORTAL_HOST_STUDY_DESIGN_RECORD_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "study/design_space.h"

namespace portalhost {

struct ResponseResult {
  std::string name;
  std::vector<double> numbers;
  std::vector<std::string> texts;
  std::string error;  // why it has no value; empty when it has one
  bool hasValue() const { return error.empty() && (!numbers.empty() || !texts.empty()); }
};

struct DesignRecord {
  std::uint64_t design = 0;  // the design's number, from 1
  Design values;
  bool ok = false;
  // The stage that failed first: "prepare", "update", "solve", "check" or
  // "extract"; empty when the design succeeded.
  std::string stage;
  std::vector<std::string> messages;  // the first failure's reason first
  std::vector<ResponseResult> responses;  // in the study's order
  int exitCode = -1;  // the solver's; -1 when it did not run or a signal ended it
  double seconds = 0;
  double portalSeconds = 0;  // inside the portal, programs it had run excluded
  int attempts = 1;
  std::vector<std::string> earlierAttempts;  // each failed attempt's messages, when retried
  std::string jobId;  // the batch job that ran the solver, when a scheduler did

  const ResponseResult* response(const std::string& name) const;
  // The value of parameter `name`; null when the design has none.
  const double* value(const std::string& name) const;
};

std::string encodeRecord(const DesignRecord& record);
// False when the bytes are not a whole record.
bool decodeRecord(std::string_view bytes, DesignRecord& record);

}  // namespace portalhost

#endif
