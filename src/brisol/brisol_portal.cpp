#include "brisol/brisol_portal.h"

#include "portal/properties.h"
#include "portal/text.h"

using ORLIX::String;

brisolPortal::brisolPortal(ORLIX::IPortalHost* host) : xmlPortal(host, "Brisol") {}

brisolPortal::~brisolPortal() = default;

void brisolPortal::resetRunState() {
  announcePending_ = true;
  logMissingReported_ = false;
  logFoundReported_ = false;
  lastReportedCount_ = 0;
}

String brisolPortal::moduleList(const String& analysisName) const {
  return ORLIX::Portals::settingLineValue(portalDataLines(analysisName), "modules");
}

// Module names are written "m1, m2" as often as "m1,m2"; the blank is not part
// of the name that the solver's result files carry.
String brisolPortal::lastModule(const String& analysisName) const {
  const String modules = moduleList(analysisName);
  const auto comma = modules.rfind(',');
  return ORLIX::Portals::trim(comma == String::npos ? modules : modules.substr(comma + 1));
}
