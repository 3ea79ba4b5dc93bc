// The study's own verdict on a finished run, beside the portal's: the files
// the solver must leave, and the texts that mark a failed run.
#ifndef PORTAL_HOST_STUDY_SUCCESS_CHECKS_H
#define PORTAL_HOST_STUDY_SUCCESS_CHECKS_H

#include <string>
#include <vector>

#include "study/study_model.h"
#include "study/tag_setup.h"

namespace portalhost {

// One line per failIf check that fires, naming the file, the line and what
// was found; a file that is not there holds nothing.
std::vector<std::string> failIfFindings(const std::vector<FailIf>& checks, const std::string& folder);

// One line per output file that is not in the design folder.
std::vector<std::string> missingOutputs(const StudyTags& tags, const std::string& folder);

// `text` cut to `most` bytes with "..." where it was cut, for messages.
std::string shortened(const std::string& text, std::size_t most = 200);

}  // namespace portalhost

#endif
