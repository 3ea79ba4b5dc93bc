// How the support library opens the files it reads itself: only a regular
// file, and without waiting on a pipe that has no writer. Private to the
// library (the portal keeps its own reader on its side of the boundary).
#ifndef ORLIX_SUPPORT_REGULAR_FILE_H
#define ORLIX_SUPPORT_REGULAR_FILE_H

#include <cstdint>
#include <functional>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Support {
namespace Detail {

// A descriptor for `path` if it names a regular file, else -1: a folder reads
// as nothing, a device may never end, a pipe is refused like any other
// non-file. `size` is the file's size at opening.
int openRegularFile(const String& path, std::uint64_t& size);

enum class WholeRead { ok, cannotOpen, readFailed };

// The whole of the regular file `path` into `text`. After readFailed, `text`
// holds what was read before the failure.
WholeRead readWholeRegularFile(const String& path, String& text);

// Hands each line of the regular file `path` to `take`, without its '\n' (a
// carriage return stays), as FileReader::getLine would give them. The file is
// read a block at a time, so memory stays at a block and the longest line
// whatever its size. False when the path names no regular file that opens; a
// read that fails ends the lines there.
bool forEachLine(const String& path, const std::function<void(String& line)>& take);

}  // namespace Detail
}  // namespace Support
}  // namespace ORLIX

#endif
