// Fault injection for unit tests: renames that the file system refuses. No
// test can make a rename fail on a local disk the process may write to (and
// root may write anywhere), so the test program carries its own `rename`,
// which the support library's calls reach before the C library's.
#ifndef ORLIX_PORTAL_FAILING_RENAMES_H
#define ORLIX_PORTAL_FAILING_RENAMES_H

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {
namespace testing {

// While one lives, every rename whose source path ends with `suffix` fails
// with EACCES, as on a share that refuses it; every other rename is done.
class FailingRenames {
 public:
  explicit FailingRenames(const String& suffix);
  ~FailingRenames();
  FailingRenames(const FailingRenames&) = delete;
  FailingRenames& operator=(const FailingRenames&) = delete;

  // How many renames were refused; a test that expects a refusal checks it,
  // so it cannot pass through a path the fault never touched.
  int refused() const;
};

}  // namespace testing
}  // namespace Portals
}  // namespace ORLIX

#endif
