// Small string helpers shared by every layer of the portal.
#ifndef ORLIX_PORTAL_TEXT_H
#define ORLIX_PORTAL_TEXT_H

#include <string_view>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

// The blank characters every reader trims: blank, tab, carriage return, line feed.
extern const char* const kBlanks;

String trim(const String& text);
// The same trim as a view into `text`, for readers that split many lines.
std::string_view trimmedView(std::string_view text);
String toLower(String text);
String toUpper(String text);
bool startsWith(const String& text, const String& prefix);
bool endsWith(const String& text, const String& suffix);
bool contains(const String& text, const String& part);
// Replaces every occurrence, left to right, without rescanning inserted text.
String replaceAll(String text, const String& from, const String& to);
// Cuts at every `separator` and trims each piece; empty pieces stay, and an
// empty text gives no pieces at all.
StringList splitAt(const String& text, char separator);
String join(const StringList& items, const String& separator);

}  // namespace Portals
}  // namespace ORLIX

#endif
