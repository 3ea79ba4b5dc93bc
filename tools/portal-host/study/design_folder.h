// A design folder as the solver finds it: a fresh folder holding a copy of
// every file of the analysis, each at its place.
#ifndef PORTAL_HOST_STUDY_DESIGN_FOLDER_H
#define PORTAL_HOST_STUDY_DESIGN_FOLDER_H

#include <string>
#include <vector>

#include "study/study_model.h"

namespace portalhost {

// The deck, the inputs and the further files of the study.
std::vector<PlacedFile> designFiles(const Study& study);

// Empties (or makes) `folder` and copies the files in; one line per problem.
std::vector<std::string> fillDesignFolder(const std::string& folder, const std::vector<PlacedFile>& files);

}  // namespace portalhost

#endif
