#include "portal/failing_renames.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Plain data, so that a rename made during static initialisation or exit
// finds it in a usable state.
const char* gSuffix = nullptr;
int gRefused = 0;

using RenameFunction = int (*)(const char*, const char*);

bool endsWith(const char* text, const char* suffix) {
  const std::size_t length = std::strlen(text);
  const std::size_t suffixLength = std::strlen(suffix);
  return length >= suffixLength && std::strcmp(text + length - suffixLength, suffix) == 0;
}

}  // namespace

// Takes the place of the C library's rename for the whole test program, the
// support library included; anything not refused goes on to the real one.
extern "C" int rename(const char* from, const char* to) noexcept {
  if (gSuffix && from && endsWith(from, gSuffix)) {
    ++gRefused;
    errno = EACCES;
    return -1;
  }
  static const auto real = reinterpret_cast<RenameFunction>(dlsym(RTLD_NEXT, "rename"));
  if (!real) {
    errno = ENOSYS;
    return -1;
  }
  return real(from, to);
}

namespace ORLIX {
namespace Portals {
namespace testing {

namespace {
String& suffixText() {
  static String text;
  return text;
}
}  // namespace

FailingRenames::FailingRenames(const String& suffix) {
  suffixText() = suffix;
  gRefused = 0;
  gSuffix = suffixText().c_str();
}

FailingRenames::~FailingRenames() { gSuffix = nullptr; }

int FailingRenames::refused() const { return gRefused; }

}  // namespace testing
}  // namespace Portals
}  // namespace ORLIX
