// The smallest concrete portal, for tests of what PortalImpl does on its own.
#ifndef ORLIX_PORTAL_TEST_PORTAL_H
#define ORLIX_PORTAL_TEST_PORTAL_H

#include "portal/portal_impl.h"

namespace ORLIX {
namespace Portals {
namespace testing {

class TestPortal : public PortalImpl {
 public:
  explicit TestPortal(IPortalHost* host, String name = "Brisol")
      : PortalImpl(host), name_(std::move(name)) {}
  String name() const override { return name_; }
  bool parseInputFile(const String&, const StringStringMap&, PortalItemList&, String&) override {
    return false;
  }
  bool parseOutputFile(const String&, const StringStringMap&, PortalItemList&, String&) override {
    return false;
  }

 private:
  String name_;
};

}  // namespace testing
}  // namespace Portals
}  // namespace ORLIX

#endif
