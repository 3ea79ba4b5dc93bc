// The results module's answers file: every block read as a response of each
// kind a tag can ask for (result values, or one of the identifier columns).
#include <cstddef>
#include <cstdint>
#include <string>

#include "brisol/tallex_answers.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::scratch().write("tallexResults.out", data, size);
  ORLIX::Portals::AnswerBlocks blocks;
  if (!blocks.load(path)) fuzz::finding("the answers file just written cannot be read");
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    blocks.blockText(i);
    for (const char* entity : {"", "Value", "Node ID", "Element ID"}) {
      ORLIX::Portals::readResponseAnswer(blocks, i, entity, "r1", path);
    }
  }
  return 0;
}
