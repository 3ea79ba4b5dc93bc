// Delimited ("free") tokens: delimiter specifications, counting and cutting
// tokens, and reading or writing one token of a line.
#include <cstddef>

#include "tagging/tagging_impl.h"
#include "tagging/token_messages.h"

namespace ORLIX {
namespace Portals {
namespace {

// One flag per byte value, so that a marking pass over a large file tests each
// character with one look-up, however many delimiters the set holds.
class DelimiterTable {
 public:
  explicit DelimiterTable(const String& delims) {
    for (unsigned char c : delims) flags_[c] = true;
  }
  bool operator()(char c) const { return flags_[static_cast<unsigned char>(c)]; }

 private:
  bool flags_[256] = {};
};

// Where one token lies in its line: [begin, end).
struct TokenSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Calls visit(span) for each token in order until it returns false; returns the
// number of tokens visited. Runs of delimiters separate tokens, so delimiters
// at either end of the line and repeated ones produce no empty token.
template <typename Visit>
int forEachToken(const String& line, const String& delims, Visit visit) {
  const DelimiterTable isDelimiter(delims);
  const std::size_t size = line.size();
  int count = 0;
  std::size_t pos = 0;
  while (pos < size) {
    while (pos < size && isDelimiter(line[pos])) ++pos;
    if (pos == size) break;
    TokenSpan span;
    span.begin = pos;
    while (pos < size && !isDelimiter(line[pos])) ++pos;
    span.end = pos;
    ++count;
    if (!visit(span)) break;
  }
  return count;
}

// The span of token `col`; false when the line has fewer tokens (or col < 1).
bool findToken(const String& line, const String& delims, int col, TokenSpan& found) {
  if (col < 1) return false;
  bool seen = false;
  forEachToken(line, delims, [&](const TokenSpan& span) {
    if (--col > 0) return true;
    found = span;
    seen = true;
    return false;
  });
  return seen;
}

// Arguments (column, row[, file], tokens found, delimiter set).
StringList columnArgs(int col, int row, const String& fileName, int tokens,
                      const String& delims) {
  StringList args{tokenMessages::number(col), tokenMessages::number(row)};
  if (!fileName.empty()) args.push_back(fileName);
  args.push_back(tokenMessages::number(tokens));
  args.push_back(delims);
  return args;
}

// The span of token `col` to be replaced; false, with the message, when the
// line has fewer tokens.
bool tokenToReplace(int col, const String& line, int row, const String& fileName,
                    const String& delims, TokenSpan& span, String& message) {
  if (findToken(line, delims, col, span)) return true;
  tokenMessages::error(message, tokenMessages::inFile(".err.updateDelimToken", fileName),
                       columnArgs(col, row, fileName, TaggingImpl::countTokens(line, delims),
                                  delims));
  return false;
}

}  // namespace

bool TaggingImpl::parseDelimiters(const String& written, String& delims, String& message) {
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i] != '\\') {
      delims += written[i];
      continue;
    }
    const char next = i + 1 < written.size() ? written[i + 1] : '\0';
    switch (next) {
      case 't': delims += '\t'; break;
      case 's': delims += ' '; break;
      case ',': delims += ','; break;
      // Both backslashes are kept; either one makes the backslash a delimiter.
      case '\\': delims += "\\\\"; break;
      default:
        tokenMessages::error(message, ".err.invalidDelimBackslash", {});
        return false;
    }
    ++i;
  }
  return true;
}

int TaggingImpl::countTokens(const String& line, const String& delims) {
  return forEachToken(line, delims, [](const TokenSpan&) { return true; });
}

StringList TaggingImpl::tokenize(const String& line, const String& delims) {
  StringList tokens;
  forEachToken(line, delims, [&](const TokenSpan& span) {
    tokens.push_back(line.substr(span.begin, span.end - span.begin));
    return true;
  });
  return tokens;
}

// A column below 1 names no token: reading it fails with the same message as a
// column past the last token, which states the column asked for, so the user
// sees what is wrong with the tag.
bool TaggingImpl::extractDelimitedToken(const int& col, const String& line, const int& row,
                                        const String& fileName, const String& delims,
                                        String& token, String& message) {
  TokenSpan span;
  if (!findToken(line, delims, col, span)) {
    tokenMessages::error(message,
                         tokenMessages::inFile(".err.extractDelimToken", fileName),
                         columnArgs(col, row, fileName, countTokens(line, delims), delims));
    return false;
  }
  token = line.substr(span.begin, span.end - span.begin);
  return true;
}

// The value goes in as it is, whatever its length, even when it holds
// delimiters. A column below 1 names no token, so the line is copied unchanged
// and the call succeeds, as the character-by-character rewrite does: its token
// counter starts at 1 and never meets such a column.
bool TaggingImpl::replaceDelimitedToken(const int& col, const String& line, const int& row,
                                        const String& fileName, const String& delims,
                                        const String& value, String& newLine,
                                        String& message) {
  if (col < 1) {
    newLine = line;
    return true;
  }
  TokenSpan span;
  if (!tokenToReplace(col, line, row, fileName, delims, span, message)) return false;
  String result;
  result.reserve(line.size() - (span.end - span.begin) + value.size());
  result.append(line, 0, span.begin);
  result += value;
  result.append(line, span.end, String::npos);
  newLine.swap(result);
  return true;
}

bool TaggingImpl::replaceDelimitedTokenInPlace(const int& col, String& line, const int& row,
                                               const String& fileName, const String& delims,
                                               const String& value, String& message) {
  if (col < 1) return true;
  TokenSpan span;
  if (!tokenToReplace(col, line, row, fileName, delims, span, message)) return false;
  line.replace(span.begin, span.end - span.begin, value);
  return true;
}

}  // namespace Portals
}  // namespace ORLIX
