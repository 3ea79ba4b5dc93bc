// One design of a study, as the host drives it: a fresh folder with a copy of
// the deck, the portal's update, the solver run with the finish check polled,
// the success check, and the extraction of the responses.
#ifndef PORTAL_HOST_DESIGN_RUN_H
#define PORTAL_HOST_DESIGN_RUN_H

#include <map>
#include <string>
#include <vector>

#include "portal/host/portal.h"
#include "scenario_json.h"
#include "study_file.h"
#include "study_host.h"

namespace portalhost {

// Where a study's files go, made once before its designs run.
struct StudyLayout {
  std::string outFolder;
  std::string inTagFile;    // the portal's tag file for the deck's parameters
  std::string outTagFile;   // the portal's tag file for the responses
  std::string deckName;     // the deck's file name
  std::string resultsName;  // the results database the solver writes
  double pollSeconds = 10;  // how often the finish check is asked while the solver runs
};

struct DesignResult {
  int index = 0;  // from 0
  Design values;
  bool ok = false;
  std::map<std::string, ResponseOutcome> responses;
  std::vector<std::string> messages;  // why it failed, and what the portal said
  double portalSeconds = 0;           // inside the portal, programs it had run excluded
  double totalSeconds = 0;
};

Json designResultToJson(const DesignResult& result);
DesignResult designResultFromJson(const Json& json);

// The analysis settings the host keeps for the portal (analysisPortalData and
// the solver's install location).
void configureAnalysis(StudyService& service, const Study& study, const StudyLayout& layout);

// Writes the tag files of the study's parameters and responses through the
// portal, and reads the finish check's frequency from the analysis set-up.
StudyLayout prepareStudy(ORLIX::IPortal& portal, StudyHost& host, const Study& study,
                         const std::string& outFolder);

DesignResult runDesign(ORLIX::IPortal& portal, StudyHost& host, const Study& study,
                       const StudyLayout& layout, int index);

}  // namespace portalhost

#endif
