#include "parameter_format.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <vector>

namespace portalhost {
namespace {

// Where the single number conversion sits in a format.
struct Conversion {
  std::size_t end;  // index of the conversion letter
  char letter;
  // The whole format is the conversion with at most a precision ("%g",
  // "%.3e"): no flags, no width, no text around it.
  bool plain;
  int precision;  // 6 when none is written
};

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// Only "%%" may accompany the conversion; anything else would read arguments
// we do not pass.
std::optional<Conversion> findConversion(const std::string& format) {
  std::optional<Conversion> found;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    std::size_t j = i + 1;
    if (j < format.size() && format[j] == '%') {
      i = j;
      continue;
    }
    while (j < format.size() && std::string("-+ #0").find(format[j]) != std::string::npos) ++j;
    while (j < format.size() && isDigit(format[j])) ++j;
    const bool bare = i == 0 && j == 1;  // no flags, no width
    int precision = 6;
    if (j < format.size() && format[j] == '.') {
      precision = 0;
      // Capped against overflow; past the cap printing is left to snprintf.
      while (++j < format.size() && isDigit(format[j])) precision = std::min(precision * 10 + format[j] - '0', 1000);
    }
    if (j >= format.size() || std::string("gefdi").find(format[j]) == std::string::npos) return std::nullopt;
    if (found) return std::nullopt;
    found = Conversion{j, format[j], bare && j + 1 == format.size() && precision < 1000, precision};
    i = j;
  }
  return found;
}

// Plain decimal notation only: no hexadecimal, no "inf"/"nan", no blanks.
std::optional<double> readNumber(const std::string& text) {
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t exponentDigits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  const double value = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

// Printed once into a buffer on the stack; only a wider text (a width of
// hundreds, "%f" of 1e300) is printed a second time, into one of its size. A
// replay answers tens of thousands of values, and measuring each first cost as
// much as printing it.
template <typename Number>
std::string print(const std::string& format, Number number) {
  char text[128];
  const int size = std::snprintf(text, sizeof text, format.c_str(), number);
  if (size < 0) return std::string();
  if (static_cast<std::size_t>(size) < sizeof text) return std::string(text, static_cast<std::size_t>(size));
  std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
  std::snprintf(buffer.data(), buffer.size(), format.c_str(), number);
  return std::string(buffer.data(), static_cast<std::size_t>(size));
}

// A plain conversion printed by to_chars: it is specified to print what printf
// prints in the C locale, the host's only one, in a fifth of snprintf's time;
// a replay formats a value for every tagged field. Nothing when the text does
// not fit (snprintf then prints it).
std::optional<std::string> printPlain(const Conversion& conversion, double number) {
  const std::chars_format style = conversion.letter == 'g'   ? std::chars_format::general
                                  : conversion.letter == 'e' ? std::chars_format::scientific
                                                             : std::chars_format::fixed;
  char text[128];
  const std::to_chars_result printed =
      std::to_chars(text, text + sizeof text, number, style, conversion.precision);
  if (printed.ec != std::errc()) return std::nullopt;
  return std::string(text, printed.ptr);
}

std::string formatOne(const std::string& value, const std::string& format, const Conversion& conversion) {
  const std::optional<double> number = readNumber(value);
  if (!number) return value;
  if (conversion.letter == 'd' || conversion.letter == 'i') {
    const double whole = std::trunc(*number);
    if (std::fabs(whole) >= 9.2e18) return value;
    std::string integerFormat = format;
    integerFormat.insert(conversion.end, "ll");
    return print(integerFormat, static_cast<long long>(whole));
  }
  if (conversion.plain) {
    if (std::optional<std::string> text = printPlain(conversion, *number)) return *text;
  }
  return print(format, *number);
}

}  // namespace

std::string formatParameterValue(const std::string& value, const std::string& format) {
  const std::optional<Conversion> conversion = findConversion(format);
  if (!conversion) return value;
  std::string result;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = value.find('\n', start);
    result += formatOne(value.substr(start, end == std::string::npos ? std::string::npos : end - start), format,
                        *conversion);
    if (end == std::string::npos) break;
    result += '\n';
    start = end + 1;
  }
  return result;
}

}  // namespace portalhost
