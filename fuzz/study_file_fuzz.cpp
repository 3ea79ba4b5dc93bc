// A study file as an engineer writes it: whatever the text, reading it ends in
// a study or in a StudyError that names the key, never in anything else. The
// designs it describes are made too, the first and the last.
#include <cstddef>
#include <cstdint>
#include <string>

#include "study/study_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  portalhost::Json json;
  try {
    json = portalhost::Json::parse(std::string(reinterpret_cast<const char*>(data), size));
  } catch (const portalhost::Json::exception&) {
    return 0;
  }
  try {
    const portalhost::LoadedStudy loaded = portalhost::studyFromJson(json, "/nonexistent-study", "/nonexistent-study/s.json");
    const auto& designs = loaded.study.designs;
    if (designs.size() > 0) {
      designs.at(0);
      designs.at(designs.size() - 1);
    }
  } catch (const portalhost::StudyError&) {
  }
  return 0;
}
