// What the line-oriented engines check of a path before they read or replace
// it, and how they clean up after a write that failed. Paths come from users
// and from the host's settings, so a folder, a device or a pipe may stand
// where a text file belongs, and one file may be named twice under different
// spellings. The host's readers need not refuse such paths themselves, so the
// engines ask first.
#ifndef ORLIX_TAGGING_TAGGED_FILES_H
#define ORLIX_TAGGING_TAGGED_FILES_H

#include <sys/stat.h>

#include "portal/host/host_types.h"
#include "portal/host/support.h"

namespace ORLIX {
namespace Portals {

// A folder opens like a file on some systems and then reads as empty, a
// device may never end and a pipe waits for a writer: each reads like a file
// that cannot be opened.
inline bool namesRegularFile(const String& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The path to hand to a reader: an empty one, which no reader opens, when
// `path` names no regular file. Asking before the reader opens anything keeps
// a pipe from making it wait.
inline String readablePath(const String& path) {
  return namesRegularFile(path) ? path : String();
}

// One file under any spelling ("x", "./x", "a/../x", a hard link): the same
// device and inode.
inline bool namesSameFile(const String& a, const String& b) {
  struct stat first;
  struct stat second;
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// The first of `tagFiles` that is `input` itself, or an empty text. Writing
// values into a tag file would overwrite the tags every later run reads.
inline String matchingTagFile(const String& input, const StringList& tagFiles) {
  for (const String& tagFile : tagFiles) {
    if (!tagFile.empty() && namesSameFile(input, tagFile)) return tagFile;
  }
  return String();
}

// Removes what a failed write left in a temporary file: on a full disk the
// part written would keep the disk full. A folder standing in its way is
// none of ours and stays.
inline void removePartialFile(const String& path) {
  if (namesRegularFile(path)) Support::File::remove(path);
}

}  // namespace Portals
}  // namespace ORLIX

#endif
