// Marking copies large files in which only a few lines change. LineCopier
// copies one stream to another in large blocks, line-aware: the caller takes
// out the lines it changes and writes their new text in their place; every
// other byte goes across as it was, so a carriage return stays part of its
// line and a last line without a line feed stays so. Memory stays at two
// blocks and the line taken out, whatever the stream's size; a line longer
// than a block is held once, in the caller's string only.
#ifndef ORLIX_TAGGING_MARK_LINE_COPIER_H
#define ORLIX_TAGGING_MARK_LINE_COPIER_H

#include <cstddef>
#include <istream>
#include <memory>
#include <ostream>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

class LineCopier {
 public:
  static constexpr std::size_t kDefaultBlock = std::size_t(1) << 20;

  LineCopier(std::istream& in, std::ostream& out, std::size_t blockSize = kDefaultBlock);

  // Number of the line that takeLine() would return (lines count from 1).
  long long nextLineNumber() const { return nextLine_; }
  // Copies the lines before line `lineNumber`; false when the input ended
  // first (everything up to its end is then copied).
  bool copyUntil(long long lineNumber);
  // Takes the next line out, without its line feed; false at the end of the
  // input. A line longer than a block gets `room` bytes of capacity beyond
  // its length, so the caller can lengthen it without a second copy.
  bool takeLine(String& line, std::size_t room = 0);
  // Whether the line last taken out ended with a line feed (a last line may not).
  bool takenLineEnded() const { return takenLineEnded_; }
  // Writes text in place of what was taken out.
  void write(const String& text);
  // Hands everything copied or written so far to the output stream.
  void flush();
  // Copies whatever is left, then flushes.
  void finish();
  // Whether reading stopped on an error rather than at the end of the input.
  bool readFailed() const { return in_.bad(); }

 private:
  // Reads more behind what is held; false when the input has nothing more
  // or the buffer is full.
  bool fill();
  // takeLine for a line that fills the whole buffer: it goes block by block
  // into `line`, sized once for all of it where the input can say how long
  // the line is (growing by doubling would hold it twice at each step).
  void takeLongLine(String& line, std::size_t room);
  // Bytes from the input's position to the next line feed or the end, the
  // input left where it was; -1 when the input cannot tell its position.
  long long restOfLineLength();
  void pass(const char* data, std::size_t size);

  std::istream& in_;
  std::ostream& out_;
  // Not zero-filled: a fresh megabyte of zeros would cost more than marking
  // a small file, and only the bytes read are ever looked at.
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;  // first byte read but not yet passed on or taken out
  std::size_t end_ = 0;    // end of the bytes read
  long long nextLine_ = 1;
  bool takenLineEnded_ = false;
  // Output gathered into block-sized writes: copied runs between changed lines
  // are short, and one write each would cost a system call each.
  String pending_;
  std::size_t blockSize_;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
