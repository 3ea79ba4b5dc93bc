// One small analysis driven design after design through one portal, the way a
// host does: a deck with two tagged abbreviations, a solver log, and a results
// module whose answers the test host writes itself when the portal asks for a run.
#ifndef ORLIX_BRISOL_DESIGN_LOOP_TEST_SUPPORT_H
#define ORLIX_BRISOL_DESIGN_LOOP_TEST_SUPPORT_H

#include "brisol/brisol_portal.h"
#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace testing {

class DesignLoop {
 public:
  DesignLoop();
  // One design: update, finish and success checks, extraction. False when any
  // step failed; `message` keeps what the portal said.
  bool runDesign(int evalId, double thickness);

  TempFolder dir;
  TestHost host;
  brisolPortal portal{&host};
  String message;
  String answers;  // what the results module "writes" for each run

 private:
  StringStringMap props_;
};

}  // namespace testing
}  // namespace Portals
}  // namespace ORLIX

#endif
