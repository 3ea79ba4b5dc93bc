#include "xmlportal/wide_path.h"

#include <utf8.h>

#include <iterator>

namespace ORLIX {
namespace Portals {

bool isUtf8Path(const String& utf8Path, String& error) {
  if (utf8::is_valid(utf8Path.begin(), utf8Path.end())) return true;
  error = "The path is not valid UTF-8: " + utf8Path;
  return false;
}

bool toWidePath(const String& utf8Path, std::wstring& widePath, String& error) {
  if (!isUtf8Path(utf8Path, error)) return false;
  widePath.clear();
  // wchar_t holds UTF-16 code units where it is 16 bits wide and whole code
  // points where it is 32 bits wide.
  if constexpr (sizeof(wchar_t) == 2) {
    utf8::unchecked::utf8to16(utf8Path.begin(), utf8Path.end(), std::back_inserter(widePath));
  } else {
    utf8::unchecked::utf8to32(utf8Path.begin(), utf8Path.end(), std::back_inserter(widePath));
  }
  return true;
}

}  // namespace Portals
}  // namespace ORLIX
