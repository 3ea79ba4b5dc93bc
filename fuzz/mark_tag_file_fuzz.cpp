// A whole Mark tag-definition file through its reader, as an input and as an
// output tag file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "tagging/mark/mark_tag_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::scratch().write("M_in_a1_deck.dat", data, size);
  const ORLIX::StringStringMap props{{"analysisName", "a1"},
                                     {"inputFilename", "deck.dat"},
                                     {"outputFilename", "deck.out"}};
  for (const bool isInput : {true, false}) {
    ORLIX::Portals::TagList tags;
    ORLIX::StringStringMap outData;
    std::string message;
    ORLIX::Portals::readMarkTagFile(path, props, tags, outData, isInput, message);
  }
  return 0;
}
