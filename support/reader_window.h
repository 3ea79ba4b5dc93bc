// How much of its file a FileBufferedReader holds at a time. Only tests change
// it: a window of a few bytes puts window edges inside small files.
#ifndef ORLIX_SUPPORT_READER_WINDOW_H
#define ORLIX_SUPPORT_READER_WINDOW_H

#include <cstddef>

namespace ORLIX {
namespace Support {

// Reading the file in 1 MB pieces was as fast as any larger window (whose
// bytes no longer stay in the processor's cache) and as mapping the file.
constexpr std::size_t kDefaultReaderWindow = std::size_t(1) << 20;

// The window of the readers opened from now on; 0 restores the default.
void setReaderWindowForTests(std::size_t bytes);

}  // namespace Support
}  // namespace ORLIX

#endif
