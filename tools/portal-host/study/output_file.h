// The files a study writes into its output folder, and what happens when one
// cannot be written: exit status 4 with the file and the reason.
#ifndef PORTAL_HOST_STUDY_OUTPUT_FILE_H
#define PORTAL_HOST_STUDY_OUTPUT_FILE_H

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>

namespace portalhost {

// The output folder cannot be written (exit status 4).
class OutputError : public std::runtime_error {
 public:
  explicit OutputError(const std::string& what) : std::runtime_error(what) {}
};

// Writes `path` anew through `write`; throws OutputError
// ("<path>: cannot be written: <reason>") when any of it fails.
void writeOutputFile(const std::string& path, const std::function<void(std::ostream&)>& write);

}  // namespace portalhost

#endif
