// Where the portal writes each parameter: the inputs are updated in scratch
// copies, once with base values and once per parameter with only that
// parameter changed; the lines that differ are where the parameter goes. A
// tag that points at nothing, or a tag file the portal quietly dropped, shows
// up as a parameter that changes nothing.
#ifndef PORTAL_HOST_STUDY_UPDATE_PROBE_H
#define PORTAL_HOST_STUDY_UPDATE_PROBE_H

#include <map>
#include <string>
#include <vector>

#include "portal/host/portal.h"
#include "study/study_host.h"
#include "study/study_model.h"
#include "study/tag_setup.h"

namespace portalhost {

struct ProbeUpdate {
  bool ok = false;
  std::vector<std::string> problems;  // what the portal said went wrong
  std::map<std::string, int> asked;   // parameter -> how often the portal asked for its value
};

// A changed line of one input: its number (from 1) and its text in the
// user's file (after the base update when the user's file has no such line).
struct ProbedLine {
  std::size_t input = 0;  // index into the inputs
  std::size_t line = 0;
  std::string text;
};

class UpdateProbe {
 public:
  // `files` are copied into every scratch folder; `tags.inputs` are updated.
  UpdateProbe(ORLIX::IPortal& portal, StudyHost& host, std::string analysisName, StudyTags tags,
              std::vector<PlacedFile> files, std::string scratchFolder);

  // Updates a fresh copy with `base`; the baseline of `where`.
  ProbeUpdate updateBase(const Design& base);
  // Updates a fresh copy with `name` changed from its base value and returns
  // the lines that differ from the baseline (at most `most` of them).
  std::vector<ProbedLine> linesOf(const std::string& name, std::size_t most = 20);

  // A value that prints differently from `value` under any number format.
  static double changed(double value);

 private:
  ProbeUpdate update(const Design& values, const std::string& folder);
  std::string sourceOf(const std::string& placed) const;

  ORLIX::IPortal& portal_;
  StudyHost& host_;
  std::string analysisName_;
  StudyTags tags_;
  std::vector<PlacedFile> files_;
  std::string scratch_;
  Design base_;
};

}  // namespace portalhost

#endif
