// Placeholder substitution for message texts (%1 to %9) and the one number
// format every message uses ("%g").
#ifndef ORLIX_PORTAL_MESSAGE_FORMAT_H
#define ORLIX_PORTAL_MESSAGE_FORMAT_H

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

// A number as "%g" prints it: six significant digits, exponent form for large
// and small magnitudes. Safe to call from several threads.
String numberText(double value);

// Arguments bind to the placeholders that occur in the text, in ascending
// order: the first argument goes to the lowest placeholder present. In the
// forms with two or more arguments empty arguments are dropped first; in the
// one-argument form an empty argument stays and so removes its placeholder.
String formatMessage(const String& text, const String& a1);
String formatMessage(const String& text, const String& a1, const String& a2);
String formatMessage(const String& text, const String& a1, const String& a2, const String& a3);
String formatMessage(const String& text, const String& a1, const String& a2, const String& a3,
                     const String& a4, const String& a5, const String& a6, const String& a7,
                     const String& a8, const String& a9);
String formatMessage(const String& text, int a1);
String formatMessage(const String& text, int a1, int a2);
String formatMessage(const String& text, int a1, int a2, int a3);
String formatMessage(const String& text, double a1);
String formatMessage(const String& text, double a1, double a2);
String formatMessage(const String& text, double a1, double a2, double a3);
// A list follows the multi-argument rule (empty entries dropped) when it holds
// two or more entries, and the one-argument rule when it holds one.
String formatMessage(const String& text, const StringList& args);

}  // namespace Portals
}  // namespace ORLIX

#endif
