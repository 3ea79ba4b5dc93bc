// A tag file and a text file through the Mark or the Script engine, the way
// the host hands them over, where the paths are not always what they should
// be: either may be a folder, and the text file may be the tag file itself
// under another spelling. The first byte chooses (a letter from '@' on keeps
// a seed readable):
//   bit 0  the text file is a folder
//   bit 1  the tag file is a folder
//   bit 2  the text file is the tag file, named through "./"
//   bit 3  the Script engine instead of the Mark engine
//   bit 4  output tags (values read) instead of input tags (values written)
// The rest is cut at the first form feed into the tag file's text and the
// text file's. Besides ending without a sanitizer finding, a folder must stay
// a folder with no ".temp" beside it, and a tag file given as its own input
// must come out as it went in.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/bench_host.h"
#include "fuzz_support.h"
#include "tagging/mark/mark_tagging.h"
#include "tagging/script/script_tagging.h"

namespace {

namespace fs = std::filesystem;

struct Mode {
  explicit Mode(std::uint8_t bits)
      : textIsFolder(bits & 1), tagsAreFolder(bits & 2), textIsTags(bits & 4),
        script(bits & 8), output(bits & 16) {}
  bool textIsFolder;
  bool tagsAreFolder;
  bool textIsTags;
  bool script;
  bool output;
};

std::string contentOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh file or folder under `name`, whatever the last input left there.
std::string place(const std::string& name, bool folder, const std::string& text) {
  const std::string path = fuzz::scratch().file(name);
  std::error_code ignored;
  fs::remove_all(path, ignored);
  fs::remove_all(path + ".temp", ignored);
  if (!folder) return fuzz::scratch().write(name, text);
  fs::create_directory(path);
  return path;
}

void run(ORLIX::Portals::TaggingImpl& engine, const Mode& mode, const std::string& text,
         const std::string& tags) {
  std::string message;
  if (mode.output) {
    engine.processOutputTags({{"analysisName", "a1"}, {"outputFilepaths", text},
                              {"outputTagFilepaths", tags}},
                             nullptr, message);
  } else {
    engine.processInputTags({{"inputFilepaths", text}, {"inputTagFilepaths", tags}}, nullptr,
                            message);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Mode mode(data[0]);
  const std::vector<std::string> parts = fuzz::splitFields(data + 1, size - 1, '\f', 2);
  const std::string tags = place("tags.txt", mode.tagsAreFolder, parts[0]);
  const std::string text = mode.textIsTags ? fuzz::scratch().path() + "/./tags.txt"
                                           : place("text.txt", mode.textIsFolder, parts[1]);
  const std::string tagsBefore = mode.tagsAreFolder ? std::string() : contentOf(tags);

  bench::QuietHost host;
  host.service.values = {{"x", "2.5"}, {"y", "12\n14"}};
  if (mode.script) {
    ORLIX::Portals::ScriptTagging engine(&host);
    run(engine, mode, text, tags);
  } else {
    ORLIX::Portals::MarkTagging engine(&host);
    run(engine, mode, text, tags);
  }

  for (const std::string& path : {tags, text}) {
    if (fs::is_directory(path) && fs::exists(path + ".temp")) {
      fuzz::finding("a folder given as a file got a .temp beside it: " + path);
    }
  }
  if ((mode.tagsAreFolder && !fs::is_directory(tags)) ||
      (!mode.textIsTags && mode.textIsFolder && !fs::is_directory(text))) {
    fuzz::finding("a folder given as a file is no folder any more");
  }
  if (mode.textIsTags && !mode.tagsAreFolder && contentOf(tags) != tagsBefore) {
    fuzz::finding("a tag file given as its own input was changed");
  }
  return 0;
}
