#include "host_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

namespace portalhost {
namespace {

std::string replaceAll(const std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  std::string result;
  std::size_t start = 0;
  for (std::size_t hit = text.find(from); hit != std::string::npos; hit = text.find(from, start)) {
    result.append(text, start, hit - start);
    result += to;
    start = hit + from.size();
  }
  result.append(text, start, std::string::npos);
  return result;
}

// In place: a transcript of a large model holds tens of thousands of strings,
// and a copy of the whole tree costs more than the look at each of them.
void replaceInStrings(Json& json, const std::string& from, const std::string& to) {
  // An empty text is found in every string and key: there is nothing to replace.
  if (from.empty()) return;
  if (json.is_string()) {
    std::string& text = json.get_ref<std::string&>();
    if (text.find(from) != std::string::npos) text = replaceAll(text, from, to);
    return;
  }
  if (json.is_array()) {
    for (Json& element : json) replaceInStrings(element, from, to);
    return;
  }
  if (!json.is_object()) return;
  bool keyChanges = false;
  for (auto& entry : json.get_ref<Json::object_t&>()) {
    replaceInStrings(entry.second, from, to);
    keyChanges = keyChanges || entry.first.find(from) != std::string::npos;
  }
  if (!keyChanges) return;
  // Keys are constant: the object is built again, in the same order; keys that
  // become one keep the first one's place and the last one's value.
  Json::object_t renamed;
  for (auto& entry : json.get_ref<Json::object_t&>()) {
    renamed[replaceAll(entry.first, from, to)] = std::move(entry.second);
  }
  json = Json(std::move(renamed));
}

// Scenarios may chmod folders read-only; removal needs them writable again.
void makeRemovable(const std::string& path) {
  std::error_code error;
  if (!fs::is_directory(fs::symlink_status(path, error))) return;
  std::error_code ignored;
  fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (fs::recursive_directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
}

std::string systemError(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

// An interrupted run takes the folder with it; the process ends right after.
std::unique_ptr<CleanupOnSignal> removedOnSignal(const std::string& path) {
  return std::make_unique<CleanupOnSignal>([path] {
    if (::chdir("/") != 0) {
      // The removal below works from any folder.
    }
    makeRemovable(path);
    std::error_code ignored;
    fs::remove_all(path, ignored);
    std::cerr << "portal-host: interrupted; " << path << " removed\n";
  });
}

}  // namespace

WorkFolder::WorkFolder(bool keep) : keep_(keep) {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/portal-host.XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw HostFileError(systemError("cannot create", pattern));
  std::error_code error;
  path_ = fs::canonical(pattern, error).string();
  if (error) path_ = pattern;
  previousFolder_ = fs::current_path(error).string();
  if (::chdir(path_.c_str()) != 0) throw HostFileError(systemError("cannot enter", path_));
  if (!keep_) removalOnSignal_ = removedOnSignal(path_);
}

WorkFolder::~WorkFolder() {
  removalOnSignal_.reset();
  // Leave the folder before it goes, so nothing later works inside a deleted folder.
  if (previousFolder_.empty() || ::chdir(previousFolder_.c_str()) != 0) {
    if (::chdir("/") != 0) {
      // Nowhere to go; the removal below still works on Linux.
    }
  }
  if (keep_) {
    std::cerr << "work folder kept: " << path_ << "\n";
    return;
  }
  makeRemovable(path_);
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void substituteWork(Json& json, const std::string& workPath) { replaceInStrings(json, "${WORK}", workPath); }

void restoreWork(Json& json, const std::string& workPath) {
  replaceInStrings(json, workPath, "${WORK}");
}

void writeTextFile(const std::string& path, const std::string& content) {
  const fs::path target(path);
  std::error_code error;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), error);
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  if (!out) throw HostFileError(systemError("cannot write", path));
  out << content;
  out.close();
  if (!out) throw HostFileError(systemError("cannot write", path));
}

// In blocks: a scenario with many parameters runs to megabytes, and read a
// character at a time it took a third as long to read as to parse.
std::optional<std::string> readTextFile(const std::string& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text;
  std::vector<char> block(1 << 16);
  while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
    text.append(block.data(), static_cast<std::size_t>(in.gcount()));
  }
  return text;
}

std::vector<std::string> listFolder(const std::string& path) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void removePath(const std::string& path) {
  makeRemovable(path);
  std::error_code error;
  fs::remove_all(path, error);
  if (error) throw HostFileError("cannot remove " + path + ": " + error.message());
}

void setModifiedTime(const std::string& path, double secondsFromNow) {
  if (!std::isfinite(secondsFromNow) || std::fabs(secondsFromNow) > 1e12) {
    throw HostFileError("modification time out of range for " + path);
  }
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  double whole = 0;
  const double fraction = std::modf(secondsFromNow, &whole);
  long long seconds = static_cast<long long>(now.tv_sec) + static_cast<long long>(whole);
  long long nanos = static_cast<long long>(now.tv_nsec) + std::llround(fraction * 1e9);
  while (nanos < 0) {
    nanos += 1000000000LL;
    --seconds;
  }
  while (nanos >= 1000000000LL) {
    nanos -= 1000000000LL;
    ++seconds;
  }
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;  // the access time stays as it is
  times[1].tv_sec = static_cast<time_t>(seconds);
  times[1].tv_nsec = static_cast<long>(nanos);
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    throw HostFileError(systemError("cannot set the modification time of", path));
  }
}

void changeMode(const std::string& path, int mode) {
  if (::chmod(path.c_str(), static_cast<mode_t>(mode)) != 0) {
    throw HostFileError(systemError("cannot change the mode of", path));
  }
}

ScratchFolder::ScratchFolder() {
  char pattern[] = "/tmp/portal-host-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) throw HostFileError("cannot make a scratch folder under /tmp");
  path_ = pattern;
  removalOnSignal_ = removedOnSignal(path_);
}

ScratchFolder::~ScratchFolder() {
  removalOnSignal_.reset();
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace portalhost
