// The output folder of a study: made, proven writable and locked before
// anything else, so that two studies never share it; an earlier run in it is
// refused, emptied (--force) or continued (--resume) when the study is still
// the same one.
#ifndef PORTAL_HOST_STUDY_OUTPUT_FOLDER_H
#define PORTAL_HOST_STUDY_OUTPUT_FOLDER_H

#include <memory>
#include <string>

#include "study/output_lock.h"
#include "study/study_reader.h"
#include "user_commands.h"

namespace portalhost {

struct OutputFolder {
  std::string folder;
  std::string hostFolder;  // .study: the lock, the digest, the tag files, the portal's own folders
  std::unique_ptr<OutputLock> lock;
  bool resuming = false;  // --resume found an earlier run of this study to go on with

  std::string journal() const { return folder + "/results.jsonl"; }
  std::string tags() const { return hostFolder + "/tags"; }
  std::string work() const { return hostFolder + "/work"; }
  std::string scratch() const { return hostFolder + "/check"; }
};

// Throws OutputError when the folder cannot be made or written or another
// study holds it, and StudyError when it holds an earlier run that the
// options do not allow for, or one of a study that has changed since.
OutputFolder openOutputFolder(const std::string& folder, const StudyOptions& options, const LoadedStudy& loaded);

}  // namespace portalhost

#endif
