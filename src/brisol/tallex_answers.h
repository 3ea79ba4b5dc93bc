// The results module's answers to "$$QUIET_GET_VALUE" requests: one block per
// request, each read into the values of one response. A block can hold a field
// over a whole mesh, so lines are kept as views into one buffer.
#ifndef ORLIX_BRISOL_TALLEX_ANSWERS_H
#define ORLIX_BRISOL_TALLEX_ANSWERS_H

#include <string_view>
#include <vector>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

// The lines of one block, as views into the loaded answers.
struct BlockLines {
  const std::string_view* first = nullptr;
  std::size_t count = 0;
  std::size_t size() const { return count; }
  bool empty() const { return count == 0; }
  std::string_view operator[](std::size_t i) const { return first[i]; }
};

class AnswerBlocks {
 public:
  // False when the file cannot be read.
  bool load(const String& path);
  std::size_t size() const { return starts_.size(); }
  // The lines of block `index` (empty lines left out, carriage returns removed).
  BlockLines block(std::size_t index) const;
  // The block as one text, each line followed by a line feed.
  String blockText(std::size_t index) const;

 private:
  String text_;
  std::vector<std::string_view> lines_;
  std::vector<std::size_t> starts_;  // index of each block's first line
};

// What one block says about one response: its values, and the failure texts
// met on the way (a response can have both: values read before a bad line).
struct ResponseAnswer {
  std::vector<double> values;
  StringList failures;
  bool valuesRead = false;  // false when the block could not be read at all
};

// Reads a response's values from its block. `entity` is the tag's "Entity":
// "Value" or empty for result values, else an identifier column ("Node ID").
ResponseAnswer readResponseAnswer(const AnswerBlocks& blocks, std::size_t index,
                                  const String& entity, const String& responseName,
                                  const String& answersPath);

}  // namespace Portals
}  // namespace ORLIX

#endif
