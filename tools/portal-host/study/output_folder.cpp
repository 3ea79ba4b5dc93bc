#include "study/output_folder.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "study/output_file.h"
#include "study/study_digest.h"

namespace portalhost {
namespace {

namespace fs = std::filesystem;

bool holdsEarlierRun(const OutputFolder& out) {
  std::error_code error;
  if (fs::exists(out.journal(), error)) return true;
  for (fs::directory_iterator it(out.folder, error), end; !error && it != end; it.increment(error)) {
    if (it->path().filename().string().rfind("design_", 0) == 0) return true;
  }
  return false;
}

// Everything but the lock goes: removing the lock file while we hold it would
// let another study lock a new one.
void emptyFolder(const std::string& folder, const std::string& keep) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string path = it->path().string();
    if (path == keep) continue;
    std::error_code gone;
    if (it->is_directory(gone) && keep.rfind(path + "/", 0) == 0) {
      emptyFolder(path, keep);
      continue;
    }
    fs::remove_all(it->path(), gone);
    if (gone) throw OutputError(path + ": cannot be removed: " + gone.message());
  }
  if (error) throw OutputError(folder + ": cannot be read: " + error.message());
}

std::string digestFile(const OutputFolder& out) { return out.hostFolder + "/digest.json"; }

void writeDigest(const OutputFolder& out, const LoadedStudy& loaded) {
  const std::string text = digestToJson(digestOf(loaded)).dump(2) + "\n";
  writeOutputFile(digestFile(out), [&](std::ostream& stream) { stream << text; });
}

// A resumed study must be the one that ran: the same designs and files.
void checkSameStudy(const OutputFolder& out, const LoadedStudy& loaded) {
  std::ifstream in(digestFile(out), std::ios::binary);
  if (!in) throw StudyError("--resume: " + out.folder + " holds no record of which study ran there; use --force to start again");
  Json before;
  try {
    before = Json::parse(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  } catch (const Json::exception&) {
    throw StudyError("--resume: " + digestFile(out) + " is damaged; use --force to start again");
  }
  const std::vector<std::string> changes = digestChanges(digestFromJson(before), digestOf(loaded));
  if (changes.empty()) return;
  std::string text = "--resume: the study has changed since the run in " + out.folder + ":";
  for (const std::string& change : changes) text += "\n  " + change;
  throw StudyError(text + "\nrun it with --force to start again, or put back what changed");
}

}  // namespace

OutputFolder openOutputFolder(const std::string& folder, const StudyOptions& options, const LoadedStudy& loaded) {
  OutputFolder out;
  out.folder = folder;
  out.hostFolder = folder + "/.study";
  std::error_code error;
  fs::create_directories(out.hostFolder, error);
  if (error) throw OutputError(folder + ": cannot be made: " + error.message());
  out.lock = std::make_unique<OutputLock>(out.hostFolder, loaded.study.studyFile);
  const bool earlier = holdsEarlierRun(out);
  if (earlier && !options.resume && !options.force) {
    throw StudyError("the output folder " + folder + " holds an earlier run of a study: use --resume to go on "
                     "with it, or --force to empty it and start again");
  }
  if (options.force) emptyFolder(folder, out.lock->path());
  out.resuming = earlier && options.resume;
  if (out.resuming) {
    checkSameStudy(out, loaded);
  } else {
    writeDigest(out, loaded);
  }
  return out;
}

}  // namespace portalhost
