// The results module runs as a program of its own, started by the host: the
// portal only builds its command line and hands it over.
#include <sys/stat.h>

#include <cstdlib>

#include "brisol/brisol_portal.h"
#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/properties.h"
#include "portal/text.h"

using ORLIX::String;
using ORLIX::StringList;
using ORLIX::StringStringMap;
using ORLIX::Support::File;
using namespace ORLIX::Portals;

namespace {

bool isFolder(const String& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

// The results module is a subcommand ("sr") of the solver's launcher, so the
// program is that launcher: the analysis' install location (the local one
// first) when it names the launcher itself, "<location>/brisol" when it names
// the installation folder, and plain "brisol" (found by the host on its PATH)
// when the analysis has no install location.
String brisolPortal::solverCommand(const String& analysisName) const {
  const String location = installLocation(analysisName, true);
  if (location.empty()) return "brisol";
  if (isFolder(location)) return location + "/brisol";
  return location;
}

bool brisolPortal::runTallex(const String& resultsPath, const String& requestFileName,
                             const String& answersFileName,
                             const StringStringMap& analysisProps, String& error) {
  String program;
  StringList arguments;
  const char* command = std::getenv("ORLIX_TALLEX_CMD");
  const String commandLine = command ? String(command) : String();
  const String analysisName = analysisProps["analysisName"];
  if (!commandLine.empty()) {
    String argumentText;
    if (commandLine[0] == '"') {
      const auto closing = commandLine.find('"', 1);
      if (closing == String::npos) {
        appendError(error,
                    "The contents of the ORLIX_TALLEX_CMD environment variable do not contain "
                    "closing double quotes");
        return false;
      }
      program = commandLine.substr(0, closing + 1);
      argumentText = commandLine.substr(closing + 1);
    } else {
      const auto blank = commandLine.find(' ');
      program = commandLine.substr(0, blank);
      if (blank != String::npos) argumentText = commandLine.substr(blank);
    }
    arguments = splitAt(trim(argumentText), ' ');
  } else {
    const StringList lines = portalDataLines(analysisName);
    program = solverCommand(analysisName);
    arguments = {"sr",
                 File::base(resultsPath, true),
                 "n",
                 "1",
                 "lcp=" + lastModule(analysisName),
                 "request=" + requestFileName,
                 "answers=" + answersFileName,
                 "zone=" + settingLineValue(lines, "zone")};
  }

  String folder = File::parentFolder(resultsPath);
  StringStringMap options;
  options.set("msgfile", answersFileName);
  options.set("errtag", "%%%");
  options.set("prompt", "Launching Tallex to parse file:\n" + File::base(resultsPath, true));
  options.set("analysisName", analysisName);
  const String answersPath = folder + "/" + answersFileName;
  if (!host() || !host()->runCommand(program, arguments, folder, options)) {
    appendError(error,
                "An error occured while running Tallex. Please check the Tallex output file for "
                "details: %1",
                answersPath);
    return false;
  }
  return true;
}
