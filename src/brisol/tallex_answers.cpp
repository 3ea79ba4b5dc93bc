#include "brisol/tallex_answers.h"

#include <algorithm>

#include "portal/message_format.h"
#include "portal/properties.h"
#include "portal/regular_file.h"
#include "portal/text.h"

namespace ORLIX {
namespace Portals {
namespace {

// Cuts at blanks; like the other splits, pieces are trimmed and empty ones stay.
std::vector<std::string_view> splitAtBlanks(std::string_view line) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (;;) {
    const auto blank = line.find(' ', start);
    pieces.push_back(trimmedView(line.substr(
        start, blank == std::string_view::npos ? std::string_view::npos : blank - start)));
    if (blank == std::string_view::npos) break;
    start = blank + 1;
  }
  return pieces;
}

String failedBlockText(const String& name, const String& answersPath, const String& blockText) {
  return "An error occurred while extracting the value for response " + name +
         ". The results keyword found in the Tallex output file " + answersPath +
         " is as follows:\n" + blockText;
}

}  // namespace

// The answers are held once, read straight into place (a stream copied
// through a string buffer would hold them twice for a moment), with one view
// per line sized before it is filled. Only a regular file is read: a pipe
// without a writer would hold the design forever.
bool AnswerBlocks::load(const String& path) {
  if (!readRegularFile(path, text_)) return false;
  lines_.clear();
  starts_.clear();
  std::string_view all(text_);
  lines_.reserve(static_cast<std::size_t>(std::count(all.begin(), all.end(), '\n')) + 1);
  std::size_t at = 0;
  while (at < all.size()) {
    auto feed = all.find('\n', at);
    if (feed == std::string_view::npos) feed = all.size();
    std::string_view line = all.substr(at, feed - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at = feed + 1;
    if (line.empty()) continue;
    const bool request = line.substr(0, 17) == "$$QUIET_GET_VALUE";
    if (starts_.empty() || (request && starts_.back() < lines_.size())) {
      starts_.push_back(lines_.size());
    }
    lines_.push_back(line);
  }
  return true;
}

BlockLines AnswerBlocks::block(std::size_t index) const {
  const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : lines_.size();
  return BlockLines{lines_.data() + starts_[index], end - starts_[index]};
}

String AnswerBlocks::blockText(std::size_t index) const {
  String text;
  const BlockLines lines = block(index);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    text.append(lines[i].data(), lines[i].size());
    text += '\n';
  }
  return text;
}

ResponseAnswer readResponseAnswer(const AnswerBlocks& blocks, std::size_t index,
                                  const String& entityAttribute, const String& name,
                                  const String& answersPath) {
  const BlockLines block = blocks.block(index);
  ResponseAnswer answer;
  String entity = entityAttribute;
  if (endsWith(entity, " ID")) entity.erase(entity.size() - 3);
  const bool valueMode = entity.empty() || entity == "Value";
  // A block too short for its counts (line 3) or kinds (line 4) is read as
  // one whose results module reported an error.
  const std::size_t shortest = valueMode ? 4 : 5;
  if (block.size() < shortest || trimmedView(block[1]).substr(0, 3) == "%%%") {
    answer.failures.push_back(failedBlockText(name, answersPath, blocks.blockText(index)));
    return answer;
  }
  // Counts beyond any block the file could hold are as good as no counts.
  const double count1 = toNumber(trimmedView(block[1]));
  const double count2 = toNumber(trimmedView(block[3]));
  const double limit = static_cast<double>(block.size()) + 1;
  if (!(count1 >= 0 && count1 <= limit && count2 >= 0 && count2 <= limit)) {
    answer.failures.push_back(failedBlockText(name, answersPath, blocks.blockText(index)));
    return answer;
  }
  const long long n1 = static_cast<long long>(count1);
  const long long n2 = static_cast<long long>(count2);

  std::size_t column = 0;
  long long first = 4 + n1 + n2;  // value lines
  if (!valueMode) {
    std::string_view kinds = trimmedView(block[4]);
    kinds = kinds.size() >= 2 ? kinds.substr(1, kinds.size() - 2) : std::string_view();
    const StringList pieces = splitAt(String(kinds), '%');
    auto found = std::find(pieces.begin(), pieces.end(), entity);
    if (found == pieces.end()) {
      answer.failures.push_back("Unable to extract " + entity + " IDs. The available IDs are: \"" +
                                String(kinds) + "\".");
      return answer;
    }
    column = static_cast<std::size_t>(found - pieces.begin());
    first = 4 + n1;  // identifier lines
  }
  const long long needed = first + n2;
  if (static_cast<long long>(block.size()) < needed) {
    answer.failures.push_back("Expecting " + numberText(static_cast<double>(needed)) +
                              " lines in result keyword starting with: " +
                              String(trimmedView(block[0])) + ". Found " +
                              numberText(static_cast<double>(block.size())) + ".");
    return answer;
  }
  answer.valuesRead = true;
  answer.values.reserve(static_cast<std::size_t>(n2));
  for (long long i = first; i < needed; ++i) {
    const std::string_view line = trimmedView(block[static_cast<std::size_t>(i)]);
    if (valueMode) {
      answer.values.push_back(toNumber(line));
      continue;
    }
    const std::vector<std::string_view> pieces = splitAtBlanks(line);
    if (pieces.size() <= column) {
      answer.failures.push_back("Expecting at least " +
                                numberText(static_cast<double>(column + 1)) +
                                " entries in line. Found " +
                                numberText(static_cast<double>(pieces.size())) + ". (" +
                                String(line) + ").");
      break;
    }
    answer.values.push_back(toNumber(pieces[column]));
  }
  return answer;
}

}  // namespace Portals
}  // namespace ORLIX
