// Finding the few interesting lines of a huge text without visiting every line
// in turn: line feeds are found sixteen bytes at a time and only the lines whose
// first byte is wanted are handed to the caller.
#ifndef ORLIX_PORTAL_LINE_STARTS_H
#define ORLIX_PORTAL_LINE_STARTS_H

#include <array>
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace ORLIX {
namespace Portals {

using FirstBytes = std::array<bool, 256>;

// Calls visit(offset, lineIndex) for every line of `text` whose first byte is
// marked in `firsts`, in order; lineIndex counts from 0 within `text`. Returns
// the number of lines (a last line without a line feed counts).
template <typename Visit>
std::size_t forEachLineStart(std::string_view text, const FirstBytes& firsts, Visit&& visit) {
  const char* data = text.data();
  const std::size_t size = text.size();
  if (size == 0) return 0;
  std::size_t lineIndex = 0;
  if (firsts[static_cast<unsigned char>(data[0])]) visit(std::size_t{0}, lineIndex);
  auto atFeed = [&](std::size_t position) {
    ++lineIndex;
    const std::size_t start = position + 1;
    if (start < size && firsts[static_cast<unsigned char>(data[start])]) visit(start, lineIndex);
  };
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i feed = _mm_set1_epi8('\n');
  for (; i + 16 <= size; i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, feed)));
    while (mask != 0) {
      atFeed(i + static_cast<std::size_t>(__builtin_ctz(mask)));
      mask &= mask - 1;
    }
  }
#endif
  for (; i < size; ++i) {
    if (data[i] == '\n') atFeed(i);
  }
  return data[size - 1] == '\n' ? lineIndex : lineIndex + 1;
}

}  // namespace Portals
}  // namespace ORLIX

#endif
