// The last step of every rewrite of a user's input: the new content waits in
// "<file>.temp", the file is deleted and the temporary file renamed onto it.
// Between the delete and the rename the user's file exists nowhere but in
// the process, so the original is held open through both: when the rename
// fails, its content goes back under its name and the user keeps the file
// they had, with the new content beside it in the temporary file.
#ifndef ORLIX_PORTAL_FILE_REPLACEMENT_H
#define ORLIX_PORTAL_FILE_REPLACEMENT_H

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

struct FileReplacement {
  // The file could be opened for reading before it was replaced; only then
  // is it deleted (a file moved aside to keep a stage is not there).
  bool originalFound = false;
  // Found, but the delete failed.
  bool deleteFailed = false;
  // The temporary file now carries the file's name.
  bool renamed = false;
  // The rename failed after the delete, and the original content is back
  // under the file's name (false when it could not be written back either).
  bool restored = false;
};

// Deletes `path` when it can be opened, then renames `tempPath` onto it, both
// through the host's file operations; the new content gets the permissions of
// the file it replaces. Never throws.
FileReplacement replaceByTemp(const String& tempPath, const String& path);

}  // namespace Portals
}  // namespace ORLIX

#endif
