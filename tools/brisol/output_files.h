// Where a run's files go: beside the deck, named from its base name B
// ("plate.dat" gives "plate"): B.log, B.sdb, and B_<module>.des / .fac for
// every module that ran. The host looks for exactly these names.
#ifndef BRISOL_OUTPUT_FILES_H
#define BRISOL_OUTPUT_FILES_H

#include <functional>
#include <ostream>
#include <string>

#include "beam_model.h"

namespace brisol {

class OutputFiles {
 public:
  explicit OutputFiles(const std::string& deckPath);

  const std::string& deckName() const { return deckName_; }  // without folder
  std::string log() const { return stem_ + ".log"; }
  std::string database() const { return stem_ + ".sdb"; }
  std::string description(Module module) const { return stem_ + "_" + moduleName(module) + ".des"; }
  std::string factors(Module module) const { return stem_ + "_" + moduleName(module) + ".fac"; }

  // Results of an earlier run in the same folder would pass for this run's
  // when this one fails, so they go first.
  void removeEarlierResults() const;

  // The small description and factor files of a finished module; their
  // contents are for people, the host only checks that they exist.
  bool writeModuleFiles(const BeamModel& model, Module module, std::string& why) const;

 private:
  std::string deckName_;
  std::string base_;
  std::string stem_;  // folder and base name, as given
};

// Replace `path` through "<path>.temp" and a rename, so no reader ever sees
// half a file. False, with the reason, on failure; the temporary file is gone.
bool replaceFile(const std::string& path, const std::string& text, std::string& why);
bool replaceFile(const std::string& path, const std::function<void(std::ostream&)>& write, std::string& why);

}  // namespace brisol

#endif
