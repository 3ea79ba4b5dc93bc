// The conventions every analysis setting follows: lists, truth values, numbers;
// and the one shared empty property bag of IExtension::properties().
#ifndef ORLIX_PORTAL_PROPERTIES_H
#define ORLIX_PORTAL_PROPERTIES_H

#include <string_view>

#include "portal/host/extension.h"
#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

// Items separated by single line feeds, each trimmed of blanks, tabs, carriage
// returns and line feeds; empty items in the middle stay; an empty value is an
// empty list.
StringList splitList(const String& value);
// Items joined with single line feeds, no trailing line feed.
String joinList(const StringList& items);
// Pads with empty items until `list` is `size` long (a parallel tag list that
// is shorter than its file list).
void padList(StringList& list, std::size_t size);

// "true", "yes" or "1" in any letter case.
bool isTrue(const String& value);

// Decimal text read as a number, leading blanks allowed, the longest readable
// prefix taken (independent of the process locale); 0 when nothing reads.
double toNumber(std::string_view text);
// True when the whole text, surrounding blanks aside, reads as one number.
bool readsAsNumber(const String& text, double& value);
// A number truncated toward zero and clamped to the int range (NaN gives 0).
int truncateToInt(double value);

// The analysis' line-oriented host settings ("key: value" lines, as in the
// "Lines" of analysisPortalData): the value of the first line whose key is `key`
// and that has a value; empty when there is none. A value holding ':' is cut there.
String settingLineValue(const StringList& lines, const String& key);

// The one empty bag every portal hands out; lives as long as the library.
IProperties& emptyProperties();

}  // namespace Portals
}  // namespace ORLIX

#endif
