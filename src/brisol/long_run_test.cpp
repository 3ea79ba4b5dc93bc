// The portal lives in the host's process for nights on end: thousands of
// designs through one portal object must not grow its memory.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>

#include "brisol/design_loop_test_support.h"

namespace ORLIX {
namespace Portals {
namespace {

long residentKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

TEST(LongRun, TenThousandDesignsThroughOnePortalKeepMemoryFlat) {
  testing::DesignLoop loop;
  // Under AddressSanitizer freed memory is held back on purpose, so resident
  // memory says nothing there; the sanitizer's own leak check covers that build.
  const int designs = kSanitized ? 1000 : 10000;
  long afterWarmUp = 0;
  for (int design = 1; design <= designs; ++design) {
    ASSERT_TRUE(loop.runDesign(design, 1.0 + design % 7)) << "design " << design << ": " << loop.message;
    if (design == 1000) afterWarmUp = residentKilobytes();
  }
  ASSERT_EQ(loop.host.service.reports.size(), 1u);
  EXPECT_EQ(loop.host.service.reports[0].values.numbers, std::vector<double>{-0.5});
  if (kSanitized) GTEST_SKIP() << "resident memory is not measured under AddressSanitizer";
  const long atEnd = residentKilobytes();
  EXPECT_LE(atEnd, afterWarmUp * 105 / 100) << "after 1,000 designs " << afterWarmUp << " kB, after "
                                             << designs << " designs " << atEnd << " kB";
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
