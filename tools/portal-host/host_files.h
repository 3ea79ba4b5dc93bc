// The host's side of the file system: the run's work folder, the ${WORK}
// placeholder in both directions, and the file operations scenarios use to set
// up and inspect what the portal reads and writes.
#ifndef PORTAL_HOST_HOST_FILES_H
#define PORTAL_HOST_HOST_FILES_H

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "cleanup_on_signal.h"
#include "scenario_json.h"

namespace portalhost {

// A file operation the host could not carry out; what() says why.
class HostFileError : public std::runtime_error {
 public:
  explicit HostFileError(const std::string& what) : std::runtime_error(what) {}
};

// A fresh, empty folder under $TMPDIR (or /tmp), made the current folder for its
// lifetime. Its path is canonical, so the portal's paths and ours agree.
class WorkFolder {
 public:
  explicit WorkFolder(bool keep);
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string previousFolder_;
  bool keep_;
  // An interrupted run removes the folder too, unless it is to be kept.
  std::unique_ptr<CleanupOnSignal> removalOnSignal_;
};

// A fresh folder under /tmp for scratch work, removed with everything in it
// when the object goes, or when the run is interrupted (a study's design pool
// installs handlers of its own while it runs); the current folder stays as it is.
class ScratchFolder {
 public:
  ScratchFolder();  // throws HostFileError
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::unique_ptr<CleanupOnSignal> removalOnSignal_;
};

// "${WORK}" in every string, keys included, at any depth -> workPath.
void substituteWork(Json& json, const std::string& workPath);
// Every occurrence of workPath in every string, keys included -> "${WORK}".
void restoreWork(Json& json, const std::string& workPath);

// Writes `content` byte for byte, creating missing parent folders.
void writeTextFile(const std::string& path, const std::string& content);
// nullopt when `path` is not a readable regular file.
std::optional<std::string> readTextFile(const std::string& path);
// Names in the folder, sorted byte-wise; empty when it does not exist.
std::vector<std::string> listFolder(const std::string& path);
// Removes a file or folder; a missing path is not an error.
void removePath(const std::string& path);
void setModifiedTime(const std::string& path, double secondsFromNow);
void changeMode(const std::string& path, int mode);

}  // namespace portalhost

#endif
