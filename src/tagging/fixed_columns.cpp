// Fixed-width ("fixed") columns: where a column lies under a widths text, and
// reading or writing the characters between two positions of a line.
#include <climits>
#include <cstddef>

#include "portal/properties.h"
#include "portal/text.h"
#include "tagging/tagging_impl.h"
#include "tagging/token_messages.h"

namespace ORLIX {
namespace Portals {
namespace {

using tokenMessages::inFile;
using tokenMessages::number;
using tokenMessages::rowArgs;

// Positions are ints in the interface; sums of huge widths or columns are kept
// exact in 64 bits and only then clamped, so that they cannot wrap around into
// a small, valid-looking position.
int clampToInt(long long value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

int lengthOf(const String& line) {
  return line.size() > static_cast<std::size_t>(INT_MAX) ? INT_MAX
                                                          : static_cast<int>(line.size());
}

// The checks that reading and writing share, under the message identifiers of
// `operation` ("extract" or "replace"). False (message raised) when the range
// cannot be used; `end` is cut back to the line's end with a warning.
bool checkRange(const String& operation, int start, int& end, const String& line, int row,
                const String& fileName, String& message) {
  const int length = lengthOf(line);
  if (start > length) {
    tokenMessages::error(message,
                         inFile(".err." + operation + "FixedTokenBigStartPos", fileName),
                         rowArgs(row, fileName, {number(start), number(length)}));
    return false;
  }
  if (start < 1) {
    tokenMessages::error(message,
                         inFile(".err." + operation + "FixedTokenSmallStartPos", fileName),
                         rowArgs(row, fileName, {number(start)}));
    return false;
  }
  if (end > length) {
    // Reading names the end it was asked for; writing names the end it now uses.
    const StringList details = operation == "extract"
                                   ? StringList{number(end), number(length)}
                                   : StringList{number(length)};
    tokenMessages::warning(message,
                           inFile(".warn." + operation + "FixedTokenBigEndPos", fileName),
                           rowArgs(row, fileName, details));
    end = length;
  }
  if (end < start) {
    tokenMessages::error(message,
                         inFile(".err." + operation + "FixedTokenSmallEndPos", fileName),
                         rowArgs(row, fileName, {number(end), number(start)}));
    return false;
  }
  return true;
}

}  // namespace

// An empty widths text has no element at all. It is reported like any other
// last element that is neither a number nor "*" (as "10." is, whose last
// element is empty): ".err.fixedStringDelimsUnknownChar" with an empty element.
bool TaggingImpl::fixedColumnRange(const String& line, const String& widths, const int& col,
                                   int& startPos, int& endPos, String& message) {
  if (col < 1) {
    tokenMessages::error(message, ".err.fixedStringSmallStartPos", {number(col)});
    return false;
  }
  StringList elements = splitAt(widths, '.');
  if (elements.empty()) elements.push_back(String());

  long long start = startPos;
  long long end = endPos;
  long long previousWidth = 0;
  const std::size_t last = elements.size() - 1;
  for (std::size_t i = 0; i < last; ++i) {
    start += previousWidth;
    const int width = truncateToInt(toNumber(elements[i]));
    if (width < 1) {
      tokenMessages::error(message, ".err.fixedStringSmallColWidth", {elements[i]});
      return false;
    }
    end += width;
    previousWidth = width;
    if (static_cast<long long>(i) + 1 == col) {
      startPos = clampToInt(start);
      endPos = clampToInt(end);
      return true;
    }
  }

  // The last element covers its own column and every one after it.
  const String& lastElement = elements[last];
  double read = 0.0;
  if (lastElement == "*") {
    startPos = clampToInt(start + previousWidth);
    endPos = lengthOf(line);
    return true;
  }
  if (!readsAsNumber(lastElement, read)) {
    tokenMessages::error(message, ".err.fixedStringDelimsUnknownChar", {lastElement});
    return false;
  }
  const int width = truncateToInt(read);
  if (width < 1) {
    tokenMessages::error(message, ".err.fixedStringSmallColWidth", {lastElement});
    return false;
  }
  const long long repeats = col - (static_cast<long long>(last) + 1);
  start += previousWidth + repeats * width;
  end += width + repeats * width;
  startPos = clampToInt(start);
  endPos = clampToInt(end);
  return true;
}

bool TaggingImpl::extractFixedToken(const int& startPos, const int& endPos, const String& line,
                                    const int& row, const String& fileName, String& token,
                                    String& message) {
  int end = endPos;
  if (!checkRange("extract", startPos, end, line, row, fileName, message)) return false;
  token = line.substr(static_cast<std::size_t>(startPos - 1),
                      static_cast<std::size_t>(end - startPos + 1));
  return true;
}

bool TaggingImpl::replaceFixedToken(const int& startPos, int& endPos, const String& line,
                                    const int& row, const String& fileName, const String& value,
                                    String& newLine, String& message) {
  newLine = line;
  return replaceFixedTokenInPlace(startPos, endPos, newLine, row, fileName, value, message);
}

// A value of another length than the field is cut to the field, or
// right-aligned in it with blanks, so the columns after it stay in place.
bool TaggingImpl::replaceFixedTokenInPlace(const int& startPos, int& endPos, String& line,
                                           const int& row, const String& fileName,
                                           const String& value, String& message) {
  if (!checkRange("replace", startPos, endPos, line, row, fileName, message)) return false;
  const std::size_t first = static_cast<std::size_t>(startPos - 1);
  const std::size_t width = static_cast<std::size_t>(endPos - startPos + 1);
  if (value.size() == width) {
    line.replace(first, width, value);
    return true;
  }
  tokenMessages::warning(
      message, inFile(".warn.replaceFixedTokenDiffLength", fileName),
      rowArgs(row, fileName,
              {number(startPos), number(endPos), numberText(static_cast<double>(value.size()))}));
  if (value.size() > width) {
    line.replace(first, width, value, 0, width);
  } else {
    const std::size_t pad = width - value.size();
    line.replace(first, pad, pad, ' ');
    line.replace(first + pad, value.size(), value);
  }
  return true;
}

}  // namespace Portals
}  // namespace ORLIX
