// The host's set-up events: analysis initialisation, files added, property
// changes, and the default name of a new output parameter.
#include <algorithm>

#include "brisol/brisol_portal.h"
#include "brisol/result_type_keys.h"
#include "portal/edge_guard.h"
#include "portal/host/support.h"
#include "portal/text.h"

using ORLIX::String;
using ORLIX::StringList;
using ORLIX::StringStringMap;
using ORLIX::Support::File;

namespace {

// A new parameter's default name from a response key of the result catalogue:
// the bracketed texts of its first line, shortened by the result-type table,
// and the qualifier on the second of three lines.
String outputParameterName(const String& key) {
  const StringList lines = ORLIX::Portals::splitAt(key, '\n');
  String bracketed;
  if (!lines.empty()) {
    StringList pieces;
    String piece;
    for (char c : lines[0]) {
      if (c == '[' || c == ']' || c == '(' || c == ')') {
        pieces.push_back(ORLIX::Portals::trim(piece));
        piece.clear();
      } else {
        piece += c;
      }
    }
    pieces.push_back(ORLIX::Portals::trim(piece));
    for (std::size_t i = 1; i < pieces.size(); i += 2) bracketed += pieces[i];
  }
  const String shortKey = ORLIX::Portals::shortResultKey(bracketed);
  const String qualifier = lines.size() == 3 ? lines[1] : String();
  String name = shortKey;
  if (!name.empty() && !qualifier.empty()) name += "_";
  name += qualifier;
  name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
  return name;
}

}  // namespace

bool brisolPortal::handleEvent(const String& event, const StringStringMap& eventData,
                               StringStringMap& reply) {
  return ORLIX::Portals::guarded(false, [&] {
    if (event == "initAnalysis") {
      reply.set("addAttribute",
                "attType: Condition\nattName: success_Brisol\ntype: FileNotContain\n"
                "findRef: $INPUTFILENAME$.log\nfindText: %%%E\n");
      reply.set("finishFrequency", "10");
      reply.set("successCheck#Attribute", "success_Brisol");
      reply.set("add_EnvVar", "BRS_USE_PVX=1");
    } else if (event == "fileAdded") {
      handleFileAdded(eventData, reply);
    } else if (event == "propertyChange") {
      handlePropertyChange(eventData, reply);
    } else if (event == "paramName") {
      if (eventData["type"] != "output") return !reply.empty();
      reply.set("name", outputParameterName(eventData["key"]));
      return true;
    }
    return !reply.empty();
  });
}

StringList brisolPortal::resultFilesOf(const String& databasePath,
                                       const String& analysisName) const {
  const String stem = File::parentFolder(databasePath) + "/" + File::base(databasePath, false) +
                      "_" + lastModule(analysisName);
  return {stem + ".des", stem + ".fac"};
}

void brisolPortal::handleFileAdded(const StringStringMap& eventData,
                                   StringStringMap& reply) const {
  const String& type = eventData["type"];
  const String& path = eventData["filepath"];
  if (type == "input") {
    reply.set("addVisFilename", File::base(path, false) + ".jpeg");
  } else if (type == "output" && ORLIX::Portals::toLower(File::extension(path)) == "sdb") {
    reply.set("addOutputFilepath",
              ORLIX::Portals::join(resultFilesOf(path, eventData["analysisName"]), "\n"));
  }
}

void brisolPortal::handlePropertyChange(const StringStringMap& eventData,
                                        StringStringMap& reply) const {
  const String& changed = eventData["propertyChange"];
  if (changed != "portal_modules" && changed != "portal_mode") return;
  const String& analysisName = eventData["analysisName"];
  StringStringMap filenames;
  if (service()) service()->analysisProperty(analysisName, "filenames", filenames);

  StringList stale, fresh;
  for (const String& path : ORLIX::Portals::splitAt(filenames["outputFilepaths"], '\n')) {
    const String extension = ORLIX::Portals::toLower(File::extension(path));
    if (extension == "des" || extension == "fac") {
      stale.push_back(path);
    } else if (extension == "sdb") {
      for (const String& file : resultFilesOf(path, analysisName)) fresh.push_back(file);
    }
  }
  reply.set("delOutputFilepath", ORLIX::Portals::join(stale, "\n"));
  reply.set("addOutputFilepath", ORLIX::Portals::join(fresh, "\n"));
}
