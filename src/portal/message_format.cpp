#include "portal/message_format.h"

#include <cstdio>

namespace ORLIX {
namespace Portals {
namespace {

String substitute(String text, const StringList& args) {
  std::size_t next = 0;
  for (char digit = '1'; digit <= '9' && next < args.size(); ++digit) {
    const String placeholder{'%', digit};
    auto pos = text.find(placeholder);
    if (pos == String::npos) continue;  // this argument waits for the next placeholder
    const String& arg = args[next++];
    while (pos != String::npos) {
      text.replace(pos, placeholder.size(), arg);
      pos = text.find(placeholder, pos + arg.size());
    }
  }
  return text;
}

StringList dropEmpty(StringList args) {
  StringList kept;
  for (auto& a : args) {
    if (!a.empty()) kept.push_back(std::move(a));
  }
  return kept;
}

}  // namespace

String numberText(double value) {
  char buffer[64];  // per call, so concurrent formatting needs no lock
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

String formatMessage(const String& text, const String& a1) { return substitute(text, {a1}); }

String formatMessage(const String& text, const String& a1, const String& a2) {
  return substitute(text, dropEmpty({a1, a2}));
}

String formatMessage(const String& text, const String& a1, const String& a2, const String& a3) {
  return substitute(text, dropEmpty({a1, a2, a3}));
}

String formatMessage(const String& text, const String& a1, const String& a2, const String& a3,
                     const String& a4, const String& a5, const String& a6, const String& a7,
                     const String& a8, const String& a9) {
  return substitute(text, dropEmpty({a1, a2, a3, a4, a5, a6, a7, a8, a9}));
}

String formatMessage(const String& text, int a1) { return substitute(text, {numberText(a1)}); }

String formatMessage(const String& text, int a1, int a2) {
  return substitute(text, {numberText(a1), numberText(a2)});
}

String formatMessage(const String& text, int a1, int a2, int a3) {
  return substitute(text, {numberText(a1), numberText(a2), numberText(a3)});
}

String formatMessage(const String& text, double a1) { return substitute(text, {numberText(a1)}); }

String formatMessage(const String& text, double a1, double a2) {
  return substitute(text, {numberText(a1), numberText(a2)});
}

String formatMessage(const String& text, double a1, double a2, double a3) {
  return substitute(text, {numberText(a1), numberText(a2), numberText(a3)});
}

String formatMessage(const String& text, const StringList& args) {
  return substitute(text, args.size() >= 2 ? dropEmpty(args) : args);
}

}  // namespace Portals
}  // namespace ORLIX
