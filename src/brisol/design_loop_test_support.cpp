#include "brisol/design_loop_test_support.h"

#include <fstream>

#include "portal/message_format.h"

namespace ORLIX {
namespace Portals {
namespace testing {

DesignLoop::DesignLoop() {
  dir.write("run/plate.dat", "* plate\nABRE /xTHICK/ /1/ ! t\nABRE /xWIDTH/ /5/\nRETURN\n");
  dir.write("run/plate.log", "Brisol\nFAC Pointers static\n");
  dir.write("run/plate.sdb", "results\n");
  dir.write("tags/P_in_a1_plate.dat",
            "<?xml version=\"1.0\"?>\n<Portal version=\"7.2\"><Key name=\"ABRE\">"
            "<tag name=\"THICK\" paramName=\"thickness\"/><tag name=\"WIDTH\" paramName=\"width\"/>"
            "</Key></Portal>\n");
  dir.write("tags/P_out_a1_plate.sdb",
            "<?xml version=\"1.0\"?>\n<Portal version=\"7.2\"><Key name=\"R\">"
            "<tag name=\"tip\" paramName=\"tip\" nature=\"DISP\" transformation=\"UZ\" "
            "location=\"Node %d\" node=\"3\"/></Key></Portal>\n");
  answers =
      "$$QUIET_GET_VALUE \"DISP\" \"UZ\" \"Node 3\" \" \" \" \"\n1\nNodal displacements\n1\n'Node'\n3\n-0.5\n";
  host.service.analysisProperties["a1"]["analysisPortalData"] =
      StringStringMap{{"Lines", "primaryInput: plate.dat\nmodules: static"}};
  host.service.parameters["width"] = "5";
  host.onRunCommand = [this](const CommandRun& run) {
    std::ofstream(run.folder + "/" + run.options["msgfile"], std::ios::binary) << answers;
    return true;
  };
  props_ = StringStringMap{{"analysisName", "a1"},
                           {"destDir", dir.file("run")},
                           {"inputFilepaths", dir.file("run/plate.dat")},
                           {"inputTagFilepaths", dir.file("tags/P_in_a1_plate.dat")},
                           {"outputFilepaths", dir.file("run/plate.sdb")},
                           {"outputTagFilepaths", dir.file("tags/P_out_a1_plate.sdb")}};
}

bool DesignLoop::runDesign(int evalId, double thickness) {
  message.clear();
  host.messages.clear();
  host.commandRuns.clear();
  host.service.reports.clear();
  host.settingRequests.clear();  // the test host keeps what it was asked; the portal must not
  host.service.propertyRequests.clear();
  host.service.parameters["thickness"] = numberText(thickness);
  StringStringMap props = props_;
  props.set("evalId", std::to_string(evalId));
  portal.resetRunState();
  bool finished = false, success = false;
  const bool updated = portal.updateInputFiles(props, nullptr, message);
  portal.check("checkFinish", props, finished, message);
  portal.check("checkSuccess", props, success, message);
  const bool extracted = portal.processOutputFiles(props, nullptr, message);
  return updated && finished && success && extracted;
}

}  // namespace testing
}  // namespace Portals
}  // namespace ORLIX
