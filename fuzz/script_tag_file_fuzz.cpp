// A whole Script tag-definition file through its reader, as an input and as
// an output tag file. What was read is written back and read again: a tag the
// portal writes must come back with the same script and the same parameter
// list, or a set-up saved by the host changes behind the user's back.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "fuzz_support.h"
#include "tagging/script/script_tag_file.h"

namespace {

using ORLIX::Portals::TagList;

void expectSameTags(const TagList& written, const TagList& readBack) {
  if (written.size() != readBack.size()) {
    fuzz::finding("script tag file: wrote " + std::to_string(written.size()) +
                  " tags, read back " + std::to_string(readBack.size()));
  }
  std::size_t i = 0;
  for (auto w = written.begin(), r = readBack.begin(); w != written.end(); ++w, ++r, ++i) {
    if (w->get("code") != r->get("code") || w->paramName != r->paramName) {
      fuzz::finding("script tag file: tag " + std::to_string(i) + " read back as\n" +
                    r->get("code") + "\nwith names [" + r->paramName + "] instead of\n" +
                    w->get("code") + "\nwith names [" + w->paramName + "]");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fuzz::ScratchFolder& scratch = fuzz::scratch();
  const std::string path = scratch.write("S_in_a1_deck.dat", data, size);
  const ORLIX::StringStringMap readProps{{"inputFilename", "deck.dat"},
                                         {"outputFilename", "deck.out"}};
  const ORLIX::StringStringMap writeProps{
      {"destDir", scratch.file("written")}, {"analysisName", "a1"}, {"version", "7.2"}};
  for (const bool isInput : {true, false}) {
    TagList tags;
    std::string message;
    if (ORLIX::Portals::readScriptTagFile(path, readProps, tags, isInput, message) != 0 ||
        tags.empty()) {
      continue;
    }
    std::error_code ignored;
    std::filesystem::create_directories(scratch.file("written"), ignored);
    ORLIX::StringStringMap outData;
    if (!ORLIX::Portals::writeScriptTagFile("deck.dat", tags, writeProps, outData, isInput,
                                            message)) {
      fuzz::finding("script tag file: cannot write back: " + message);
    }
    TagList readBack;
    const std::string written =
        scratch.file(std::string("written/") + (isInput ? "S_in" : "S_out") + "_a1_deck.dat");
    ORLIX::Portals::readScriptTagFile(written, readProps, readBack, isInput, message);
    expectSameTags(tags, readBack);
  }
  return 0;
}
