// The token machinery the line-oriented engines share, driven by one input cut
// at line feeds into its arguments:
//   written delimiters \n line \n column \n value \n widths \n start \n end
// Besides not crashing, the operations must keep what their callers rely on:
// a delimited replacement leaves every other token as it was, in place as in
// a copy, and a fixed replacement keeps the line's length (the columns after
// it stay in place) and reads back as the value fitted to the field.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "tagging/tagging_impl.h"

namespace {

using ORLIX::StringList;
using ORLIX::Portals::TaggingImpl;

void delimitedTokens(const std::string& written, const std::string& line, int col,
                     const std::string& value) {
  std::string delims;
  std::string message;
  TaggingImpl::parseDelimiters(written, delims, message);  // a bad backslash keeps the rest

  const StringList tokens = TaggingImpl::tokenize(line, delims);
  if (static_cast<int>(tokens.size()) != TaggingImpl::countTokens(line, delims)) {
    fuzz::finding("tokenize and countTokens disagree");
  }
  for (const std::string& fileName : {std::string(), std::string("deck.dat")}) {
    std::string token;
    TaggingImpl::extractDelimitedToken(col, line, 3, fileName, delims, token, message);
  }

  std::string newLine;
  std::string copyMessage;
  const bool copied = TaggingImpl::replaceDelimitedToken(col, line, 3, "deck.dat", delims, value,
                                                         newLine, copyMessage);
  std::string inPlace = line;
  std::string inPlaceMessage;
  const bool edited = TaggingImpl::replaceDelimitedTokenInPlace(col, inPlace, 3, "deck.dat",
                                                                delims, value, inPlaceMessage);
  if (copied != edited || copyMessage != inPlaceMessage || inPlace != (copied ? newLine : line)) {
    fuzz::finding("replacing a token in place differs from replacing it into a copy: [" + line +
                  "]");
  }
  if (!copied) return;
  const bool valueIsOneToken =
      !value.empty() && value.find_first_of(delims) == std::string::npos;
  if (!valueIsOneToken) return;
  StringList expected = tokens;
  if (col >= 1) expected[static_cast<std::size_t>(col) - 1] = value;
  if (TaggingImpl::tokenize(newLine, delims) != expected) {
    fuzz::finding("replacing a token changed the others: [" + line + "] -> [" + newLine + "]");
  }
}

void fixedColumns(const std::string& line, const std::string& widths, int col,
                  const std::string& value, int rawStart, int rawEnd) {
  std::string message;
  int start = 1;
  int end = 0;
  if (TaggingImpl::fixedColumnRange(line, widths, col, start, end, message)) {
    std::string token;
    TaggingImpl::extractFixedToken(start, end, line, 4, "", token, message);
    std::string newLine;
    int replaceEnd = end;
    const bool replaced = TaggingImpl::replaceFixedToken(start, replaceEnd, line, 4, "deck.dat",
                                                         value, newLine, message);
    if (newLine.size() != line.size()) fuzz::finding("a fixed replacement changed the length");
    if (replaced) {
      // Cut to the field, or right-aligned in it with blanks.
      const std::size_t width = static_cast<std::size_t>(replaceEnd - start + 1);
      const std::string fitted = value.size() >= width
                                     ? value.substr(0, width)
                                     : std::string(width - value.size(), ' ') + value;
      std::string readBack;
      if (!TaggingImpl::extractFixedToken(start, replaceEnd, newLine, 4, "", readBack,
                                          message) ||
          readBack != fitted) {
        fuzz::finding("a replaced field does not read back at its place");
      }
    }
  }

  std::string token;
  TaggingImpl::extractFixedToken(rawStart, rawEnd, line, 5, "deck.dat", token, message);
  std::string newLine;
  TaggingImpl::replaceFixedToken(rawStart, rawEnd, line, 5, "", value, newLine, message);
  if (newLine.size() != line.size()) fuzz::finding("a fixed replacement changed the length");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> f = fuzz::splitFields(data, size, '\n', 7);
  const int col = fuzz::toInt(f[2]);
  delimitedTokens(f[0], f[1], col, f[3]);
  fixedColumns(f[1], f[4], col, f[3], fuzz::toInt(f[5]), fuzz::toInt(f[6]));
  return 0;
}
