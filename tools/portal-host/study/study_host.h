// The host of a study run, as the portal sees it: answers the portal from the
// current design's values and the study's responses, runs programs for it,
// and collects its messages and the responses it reports.
#ifndef PORTAL_HOST_STUDY_STUDY_HOST_H
#define PORTAL_HOST_STUDY_STUDY_HOST_H

#include <map>
#include <string>
#include <vector>

#include "host_extensions.h"
#include "portal/host/portal_host.h"
#include "study/design_space.h"

namespace portalhost {

struct ResponseOutcome {
  std::vector<double> numbers;
  std::vector<std::string> texts;
  std::string error;  // what the portal reported instead of values
};

class StudyService : public HostService {
 public:
  StudyService() : HostService("Study") {}

  ORLIX::String parameterValue(const ORLIX::String& paramType, const ORLIX::String& paramName,
                               const ORLIX::String& filePath, const ORLIX::String& format,
                               ORLIX::String& message) override;
  void analysisProperty(const ORLIX::String& analysisName, const ORLIX::String& propertyKey,
                        ORLIX::StringStringMap& out) override;
  void reportResponse(const ORLIX::String& responseName, const ORLIX::StringStringMap& context,
                      const ORLIX::ResponseValues& values) override;

  Design design;
  std::map<std::string, ORLIX::StringStringMap> analysis;  // property key -> map
  std::map<std::string, bool> textResponses;              // response -> whether it is a text
  // Filled while a design runs:
  std::map<std::string, ResponseOutcome> responses;
  std::map<std::string, int> asked;  // parameter -> how often its value was asked for
};

class StudyHost : public ORLIX::IPortalHost {
 public:
  void message(const ORLIX::String& text, const ORLIX::String& analysisName, int evalId,
               int level) override;
  bool runCommand(const ORLIX::String& program, const ORLIX::StringList& arguments,
                  ORLIX::String& workingFolder, const ORLIX::StringStringMap& options) override;
  ORLIX::String setting(const ORLIX::String& key, const ORLIX::String& defaultValue) override;
  ORLIX::IExtension* extension(const ORLIX::String& type) override;

  // A new design: its values, and the folder where programs' output is kept.
  void startDesign(const Design& values, const std::string& folder);

  StudyService service;
  std::vector<std::string> problems;  // messages at error or warning level
  std::string workRoot;               // under which runCommand makes folders on request
  double commandSeconds = 0;          // time spent in programs run for the portal
  int wakeFd = -1;                    // readable when the run is interrupted

 private:
  std::string designFolder_;
};

}  // namespace portalhost

#endif
