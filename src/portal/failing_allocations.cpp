#include "portal/failing_allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Plain data with constant initialisation, so that allocations made during
// static initialisation or exit find it in a usable state. -1: nothing to fail.
std::atomic<long> gLeft{-1};
std::atomic<bool> gFailed{false};

void* allocate(std::size_t size) {
  if (gLeft.load(std::memory_order_relaxed) >= 0 && gLeft.fetch_sub(1) == 0) {
    gFailed = true;
    throw std::bad_alloc();
  }
  void* memory = std::malloc(size == 0 ? 1 : size);
  if (!memory) throw std::bad_alloc();
  return memory;
}

void* allocateOrNull(std::size_t size) noexcept {
  try {
    return allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

// These take the place of the C++ library's for the whole test program; the
// aligned forms are left alone, as they pair only with each other.
void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return allocateOrNull(size);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

namespace ORLIX {
namespace Portals {
namespace testing {

FailingAllocation::FailingAllocation(long index) {
  gFailed = false;
  gLeft = index;
}

FailingAllocation::~FailingAllocation() { gLeft = -1; }

bool FailingAllocation::failed() const { return gFailed; }

}  // namespace testing
}  // namespace Portals
}  // namespace ORLIX
