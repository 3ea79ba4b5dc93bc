// What a resumed study must share with the run it continues: the same designs
// (parameters, responses, levels) and the same files (inputs, tag files,
// further files, inline tags). A digest of each is kept in the output folder
// at the first run and compared on --resume.
#ifndef PORTAL_HOST_STUDY_STUDY_DIGEST_H
#define PORTAL_HOST_STUDY_STUDY_DIGEST_H

#include <map>
#include <string>
#include <vector>

#include "scenario_json.h"
#include "study/study_reader.h"

namespace portalhost {

struct StudyDigest {
  std::string designs;                       // parameters, responses and designs
  std::map<std::string, std::string> files;  // what the study names it -> its digest
};

// Reads every file once; a file that cannot be read digests as "unreadable".
StudyDigest digestOf(const LoadedStudy& loaded);

Json digestToJson(const StudyDigest& digest);
StudyDigest digestFromJson(const Json& json);

// What changed from `before` to `now`, one line each ("the designs", "beam.inp").
std::vector<std::string> digestChanges(const StudyDigest& before, const StudyDigest& now);

}  // namespace portalhost

#endif
