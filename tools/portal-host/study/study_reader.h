// Reading a study file: its JSON shape, checked key by key, into a Study.
#ifndef PORTAL_HOST_STUDY_STUDY_READER_H
#define PORTAL_HOST_STUDY_STUDY_READER_H

#include <string>
#include <vector>

#include "scenario_json.h"
#include "study/study_model.h"

namespace portalhost {

struct LoadedStudy {
  Study study;
  Json source;  // the study file as read
  // What is wrong but did not stop the reading (an unknown key, a file that
  // is not there): each one line, naming the key or file. A study with
  // problems is not run.
  std::vector<std::string> problems;
};

// Throws StudyError for what makes the study unreadable (not JSON, a value of
// the wrong kind, a missing required key), naming the key.
LoadedStudy readStudyFile(const std::string& path);
LoadedStudy studyFromJson(const Json& json, const std::string& folder, const std::string& file);

}  // namespace portalhost

#endif
