// The table a study prints on the terminal when it ends, and the list of the
// designs that failed with the stage that failed first and why.
#ifndef PORTAL_HOST_STUDY_RESULTS_TABLE_H
#define PORTAL_HOST_STUDY_RESULTS_TABLE_H

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "study/design_record.h"
#include "study/study_model.h"

namespace portalhost {

// The most failed designs listed one by one, here and in the report; the
// rest are counted and left to results.jsonl, so that a study of 10^5 failed
// designs does not bury the terminal.
constexpr std::size_t kMostFailuresListed = 50;

// Why a failed design failed, the first reason first: its messages or, when
// it has none, its responses' errors ("tipUz: not found").
std::vector<std::string> failureReasons(const DesignRecord& record);

// `records` in design order.
void printResultsTable(std::ostream& out, const Study& study, const std::vector<DesignRecord>& records);

}  // namespace portalhost

#endif
