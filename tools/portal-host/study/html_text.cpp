#include "study/html_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "study/results_csv.h"

namespace portalhost {
namespace {

constexpr const char* kReplacement = "\xEF\xBF\xBD";

std::size_t codePointLength(unsigned char lead) { return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4; }

// Code points HTML calls parse errors: controls other than tab, line feed
// and carriage return, C1 controls, and noncharacters.
bool unwantedInHtml(char32_t c) {
  if (c < 0x20) return c != '\t' && c != '\n' && c != '\r';
  if (c >= 0x7F && c <= 0x9F) return true;
  if (c >= 0xFDD0 && c <= 0xFDEF) return true;
  return (c & 0xFFFE) == 0xFFFE;
}

}  // namespace

// Escapes text from the study or a solver, also inside SVG: any bytes in,
// valid UTF-8 out.
std::string escaped(const std::string& text) {
  const std::string valid = validUtf8(text);
  std::string out;
  out.reserve(valid.size() + valid.size() / 8);
  for (std::size_t i = 0; i < valid.size();) {
    const auto lead = static_cast<unsigned char>(valid[i]);
    const std::size_t length = std::min(codePointLength(lead), valid.size() - i);
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(valid[i + k]) & 0x3F);
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default:
        if (unwantedInHtml(c)) {
          out += kReplacement;
        } else {
          out.append(valid, i, length);
        }
    }
    i += length;
  }
  return out;
}

// Cut after `most` characters, never inside one.
std::string clipped(const std::string& text, std::size_t most) {
  const std::string valid = validUtf8(text);
  std::size_t characters = 0;
  for (std::size_t i = 0; i < valid.size(); ++i) {
    if ((static_cast<unsigned char>(valid[i]) & 0xC0) == 0x80) continue;
    if (characters++ == most) return valid.substr(0, i) + "\xE2\x80\xA6";  // an ellipsis
  }
  return valid;
}

std::size_t characterCount(const std::string& text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace portalhost
