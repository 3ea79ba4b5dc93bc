// The tag files of a study, made once before its designs run: a user's tag
// file is copied, inline tags and the Brisol form's parameters and responses
// become tag files written by the portal itself (writeInputTagData /
// writeOutputTagData), as the real host does when a user tags a file on screen.
#ifndef PORTAL_HOST_STUDY_TAG_SETUP_H
#define PORTAL_HOST_STUDY_TAG_SETUP_H

#include <cstdint>
#include <string>
#include <vector>

#include "portal/host/portal.h"
#include "study/study_host.h"
#include "study/study_model.h"

namespace portalhost {

// One tagged file of every design: where it lies in a design folder and the
// tag file the portal reads for it.
struct TaggedPlace {
  std::string placed;
  std::string tagFile;  // absolute
  std::string label;    // "inputs[0] (beam.inp)", "deck (cantilever.dat)", for messages
};

struct StudyTags {
  std::vector<TaggedPlace> inputs;   // the deck first, when there is one
  std::vector<TaggedPlace> outputs;  // the deck's results first, when there is one
};

// The names of the values a tag serves: a script tag serves a list.
std::vector<std::string> tagNames(const ORLIX::Portals::TagData& tag);

// The analysis version written into the tag files the host has the portal write.
extern const char* const kAnalysisVersion;

// Throws StudyError naming the entry when the portal will not write a tag file.
StudyTags prepareTags(ORLIX::IPortal& portal, const Study& study, const std::string& tagFolder);

// What the host keeps for the portal about the analysis: its primary files,
// modules and solver install location, and the responses' data types.
void configureAnalysis(StudyService& service, const Study& study, const StudyTags& tags);

// The per-design properties of updateInputFiles, check and processOutputFiles.
ORLIX::StringStringMap designProps(const std::string& analysisName, const StudyTags& tags,
                                   const std::string& folder, std::uint64_t designNumber);

}  // namespace portalhost

#endif
