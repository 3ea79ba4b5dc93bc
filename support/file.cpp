// File names and whole-file operations.
//
// Name rules, for paths written with '/' or '\' (hosts hand us both, even mixed):
// - the last component is everything after the last separator;
// - its extension starts after its last dot, unless that dot is the component's
//   first character: ".profile" is a name without an extension, "name." has an
//   empty one;
// - the parent folder is everything before the last separator, with trailing
//   separators dropped ("a//b" -> "a", "/a" -> ""), or "." when there is no
//   separator at all. Callers append "/" + name, so "" for the root still yields
//   "/name".
#include <sys/stat.h>

#include <cstdio>
#include <memory>

#include "portal/host/support.h"

namespace ORLIX {
namespace Support {

namespace {

const char* const kSeparators = "/\\";

String lastComponent(const String& path) {
  const std::size_t sep = path.find_last_of(kSeparators);
  return sep == String::npos ? path : path.substr(sep + 1);
}

// Position of the dot that starts the extension of `name`, or npos.
std::size_t extensionDot(const String& name) {
  const std::size_t dot = name.rfind('.');
  return (dot == String::npos || dot == 0) ? String::npos : dot;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

String File::base(const String& path, bool withExtension) {
  String name = lastComponent(path);
  if (!withExtension) {
    const std::size_t dot = extensionDot(name);
    if (dot != String::npos) name.erase(dot);
  }
  return name;
}

String File::extension(const String& path) {
  const String name = lastComponent(path);
  const std::size_t dot = extensionDot(name);
  return dot == String::npos ? String() : name.substr(dot + 1);
}

String File::parentFolder(const String& path) {
  std::size_t sep = path.find_last_of(kSeparators);
  if (sep == String::npos) return ".";
  while (sep > 0 && (path[sep - 1] == '/' || path[sep - 1] == '\\')) --sep;
  return path.substr(0, sep);
}

bool File::exists(const String& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

unsigned int File::modifiedTime(const String& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return 0;
  return static_cast<unsigned int>(info.st_mtime);
}

bool File::rename(const String& from, const String& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool File::remove(const String& path) { return std::remove(path.c_str()) == 0; }

bool File::copy(const String& from, const String& to) {
  // Opening the target for writing would truncate the source when both name the
  // same file; such a copy has nothing to do. Only a regular file is copied:
  // a folder opens and then fails to read, after the target was already
  // emptied, and a device or a pipe may never end.
  struct stat fromInfo;
  struct stat toInfo;
  if (::stat(from.c_str(), &fromInfo) != 0 || !S_ISREG(fromInfo.st_mode)) return false;
  if (::stat(to.c_str(), &toInfo) == 0 && fromInfo.st_dev == toInfo.st_dev &&
      fromInfo.st_ino == toInfo.st_ino) {
    return true;
  }

  FileHandle source(std::fopen(from.c_str(), "rb"));
  if (!source) return false;
  FileHandle target(std::fopen(to.c_str(), "wb"));
  if (!target) return false;

  constexpr std::size_t kChunk = 1 << 20;
  std::unique_ptr<char[]> chunk(new char[kChunk]);
  for (;;) {
    const std::size_t got = std::fread(chunk.get(), 1, kChunk, source.get());
    if (got > 0 && std::fwrite(chunk.get(), 1, got, target.get()) != got) return false;
    if (got < kChunk) break;
  }
  if (std::ferror(source.get())) return false;
  // A full disk may only show when the buffered tail is flushed.
  return std::fclose(target.release()) == 0;
}

}  // namespace Support
}  // namespace ORLIX
