// One study per output folder: a lock held for the whole run, so a second
// study started into the same folder is refused at once, with the running
// one named, instead of sharing design folders with it.
#ifndef PORTAL_HOST_STUDY_OUTPUT_LOCK_H
#define PORTAL_HOST_STUDY_OUTPUT_LOCK_H

#include <string>

namespace portalhost {

class OutputLock {
 public:
  // Locks `hostFolder`/lock (the folder must exist) and writes who holds it.
  // Throws OutputError naming the holder when another study holds it; when
  // that study's main process is gone, waits a few seconds for its workers to
  // let go. The lock goes with the last process holding it, however it ends.
  OutputLock(const std::string& hostFolder, const std::string& studyFile);
  ~OutputLock();
  OutputLock(const OutputLock&) = delete;
  OutputLock& operator=(const OutputLock&) = delete;

  // The lock file, which emptying the folder must spare.
  const std::string& path() const { return path_; }


 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace portalhost

#endif
