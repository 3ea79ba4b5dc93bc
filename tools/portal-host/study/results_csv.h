// results.csv: one row per design (design, status, every parameter, every
// response); a response with several values gets one column per value.
#ifndef PORTAL_HOST_STUDY_RESULTS_CSV_H
#define PORTAL_HOST_STUDY_RESULTS_CSV_H

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "study/design_record.h"
#include "study/study_model.h"

namespace portalhost {

// `records` in design order. Throws OutputError when the file cannot be written.
void writeResultsCsv(const std::string& path, const Study& study, const std::vector<DesignRecord>& records);
void writeResultsCsv(std::ostream& out, const Study& study, const std::vector<DesignRecord>& records);

// `bytes` as UTF-8, each byte that starts no well-formed sequence replaced by
// U+FFFD, as results.jsonl has it: a solver's text may hold any bytes, and
// what we write reads the same whether it came from a fresh run or a resumed one.
std::string validUtf8(std::string_view bytes);

}  // namespace portalhost

#endif
