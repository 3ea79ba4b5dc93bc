// The internal finish check: a Brisol run is finished when its log holds
// "%%%E" or one "FAC Pointers" line per solver module. The host polls it while
// the solver runs; each note is given once per run (resetRunState re-arms them).
#include "brisol/brisol_portal.h"
#include "portal/edge_guard.h"
#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/text.h"

using ORLIX::String;
using ORLIX::StringStringMap;
using namespace ORLIX::Portals;

bool brisolPortal::checkFinish(const StringStringMap& analysisProps, bool& finished,
                               String& error) {
  finished = false;
  const int expected =
      static_cast<int>(splitAt(moduleList(analysisProps["analysisName"]), ',').size());
  const String expectedText = numberText(expected);
  const String logPath = analysisProps["destDir"] + "/" +
                         baseName(primaryFile(analysisProps, true), false) + ".log";

  if (announcePending_) {
    appendNote(error,
               "NOTE: Detected a Brisol analysis with no finish condition defined. An internal "
               "finish check will be applied. The analysis will not be considered done until "
               "either of the following is found in %1:\n  -\"%%%E\"\n  -%2 instance(s) of "
               "\"FAC Pointers\"",
               baseName(logPath, true), expectedText);
    announcePending_ = false;
  }

  ORLIX::Support::FileReader log(logPath, false);
  if (!log.is_open()) {
    if (!logMissingReported_) {
      appendNote(error, "NOTE: Brisol internal finish check: Cannot find Brisol log file: %1",
                 logPath);
      logMissingReported_ = true;
    }
    return true;
  }
  if (!logFoundReported_) {
    appendNote(error, "NOTE: Brisol internal finish check: Found Brisol log file: %1", logPath);
    logFoundReported_ = true;
  }

  int count = 0;
  String line;
  while (log.getLine(line)) {
    if (contains(line, "FAC Pointers")) {
      if (++count == expected) {
        appendNote(error,
                   "NOTE: Brisol internal finish check: Found all %1 occurrence(s) of \"FAC "
                   "Pointers\". Detected completion.",
                   expectedText);
        finished = true;
        return true;
      }
    } else if (contains(line, "%%%E")) {
      appendNote(error,
                 "NOTE: Brisol internal finish check: Found occurrence of \"%%%E\" in Brisol log "
                 "file. Detected completion.");
      finished = true;
      return true;
    }
  }
  if (count > lastReportedCount_) {
    lastReportedCount_ = count;
    appendNote(error,
               "NOTE: Brisol internal finish check: Found %1 of %2 occurrence(s) of \"FAC "
               "Pointers\".",
               numberText(count), expectedText);
  }
  return true;
}
