#include "study/design_folder.h"

#include <filesystem>

namespace portalhost {

namespace fs = std::filesystem;

std::vector<PlacedFile> designFiles(const Study& study) {
  std::vector<PlacedFile> files;
  if (study.hasDeck()) files.push_back(study.deck);
  for (const TaggedFile& input : study.inputs) files.push_back(input.file);
  files.insert(files.end(), study.files.begin(), study.files.end());
  return files;
}

std::vector<std::string> fillDesignFolder(const std::string& folder, const std::vector<PlacedFile>& files) {
  std::error_code error;
  fs::remove_all(folder, error);
  fs::create_directories(folder, error);
  if (error) return {"cannot make the folder " + folder + ": " + error.message()};
  std::vector<std::string> problems;
  for (const PlacedFile& file : files) {
    const fs::path target = fs::path(folder) / file.placed;
    fs::create_directories(target.parent_path(), error);
    if (!error) fs::copy_file(file.source, target, fs::copy_options::overwrite_existing, error);
    if (error) problems.push_back("cannot copy " + file.source + " into " + folder + ": " + error.message());
  }
  return problems;
}

}  // namespace portalhost
