// Fault injection for unit tests: an allocation that fails. No test can make
// the machine run out of memory at a chosen moment, so the test program
// carries its own global operator new and delete, which fail the one
// allocation a test asks for and otherwise pass through to malloc and free.
#ifndef ORLIX_PORTAL_FAILING_ALLOCATIONS_H
#define ORLIX_PORTAL_FAILING_ALLOCATIONS_H

namespace ORLIX {
namespace Portals {
namespace testing {

// While one lives, the allocation made through operator new that is number
// `index` (counting from 0 at construction) throws std::bad_alloc; every
// other allocation is made.
class FailingAllocation {
 public:
  explicit FailingAllocation(long index);
  ~FailingAllocation();
  FailingAllocation(const FailingAllocation&) = delete;
  FailingAllocation& operator=(const FailingAllocation&) = delete;

  // Whether the allocation was reached; a test that walks every allocation
  // of an operation stops at the first index that no longer is.
  bool failed() const;
};

}  // namespace testing
}  // namespace Portals
}  // namespace ORLIX

#endif
