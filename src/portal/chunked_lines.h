// Streaming line access for files far larger than memory should hold (decks of
// hundreds of MB). The file is read a window at a time into one buffer and its
// lines are handed out as views, so nothing is copied again that is not changed,
// and memory stays flat whatever the file's size; output is gathered into large
// writes.
#ifndef ORLIX_PORTAL_CHUNKED_LINES_H
#define ORLIX_PORTAL_CHUNKED_LINES_H

#include <sys/uio.h>

#include <memory>
#include <string_view>
#include <vector>

#include "portal/host/host_types.h"
#include "portal/regular_file.h"

namespace ORLIX {
namespace Portals {

class ChunkedLineReader {
 public:
  // Read, not mapped: a mapped file that another program cuts short, or whose
  // disk (a cluster's network file system) fails a read, ends the whole host
  // with SIGBUS at the first touch of a lost page, where a read reports an
  // error that the update turns into a message. Reading costs no more: the
  // window is small enough to stay in the processor's cache while its lines
  // are scanned and written, and the deck update takes as much processor time
  // as when its large windows were mapped.
  static constexpr std::size_t kWindowBytes = 1u << 20;

  // `windowBytes` bounds the part of the file held at once (a line longer than that
  // widens it); a reader that wants only a file's first lines asks for less.
  explicit ChunkedLineReader(const String& path, std::size_t windowBytes = kWindowBytes);
  ~ChunkedLineReader();
  ChunkedLineReader(const ChunkedLineReader&) = delete;
  ChunkedLineReader& operator=(const ChunkedLineReader&) = delete;

  bool isOpen() const { return file_.isOpen(); }
  // The next line without its line feed (a carriage return stays); false at the
  // end of the file. The view lives until the next call.
  bool next(std::string_view& line);
  // The next run of whole lines, each with its line feed (the file's last line
  // may lack one), so that a caller can pass on unchanged lines in bulk. The
  // view lives until the next call; do not mix with next() within a run.
  bool nextLines(std::string_view& lines);
  // Whether reading stopped on an error rather than at the end of the file.
  bool failed() const { return failed_; }
  void close();
  // The file offset of a character inside the current block.
  unsigned long long offsetOf(const char* inBlock) const {
    return position_ - block_.size() + static_cast<unsigned long long>(inBlock - block_.data());
  }

 private:
  bool loadWindow();
  const char* readWindow(unsigned long long start, std::size_t length);
  void releaseWindow();

  RegularFile file_;
  unsigned long long size_ = 0;
  unsigned long long position_ = 0;  // first byte not yet handed out
  // The window's bytes; block_ views its whole lines.
  std::unique_ptr<char[]> buffer_;
  std::size_t bufferCapacity_ = 0;
  std::string_view block_;
  std::size_t blockPosition_ = 0;
  std::size_t window_;
  bool failed_ = false;
};

// Output gathered into large writes. Bytes handed to passOn() are written
// straight from where they lie (the reader's window of the file being copied),
// so the process copies them no further: each byte is read in once and written
// out once.
// They are written in runs of a few hundred kilobytes, while the caller's scan
// of them is still in the processor's cache.
class ChunkedWriter {
 public:
  // What is gathered goes out at this size. A caller that scans its input in
  // runs of the same size has each run's scan and write share the cache.
  static constexpr std::size_t kRunBytes = 256u << 10;

  explicit ChunkedWriter(const String& path);
  ~ChunkedWriter();
  ChunkedWriter(const ChunkedWriter&) = delete;
  ChunkedWriter& operator=(const ChunkedWriter&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  // Copies `text` first: it may go away as soon as the call returns.
  void write(std::string_view text);
  void writeLine(std::string_view line) {
    write(line);
    write("\n");
  }
  // `text` must stay valid until the next flush() (or close()).
  void passOn(std::string_view text);
  // Writes everything gathered; false once anything could not be written.
  bool flush();
  // Flushes and closes; false when anything could not be written (disk full).
  bool close();

 private:
  struct Piece {
    const char* data;  // nullptr: `offset` into owned_
    std::size_t offset;
    std::size_t size;
  };
  void add(const Piece& piece);
  bool writeAll(std::vector<struct iovec> pieces);

  int fd_;
  std::vector<Piece> pieces_;
  String owned_;
  std::size_t gathered_ = 0;
  bool failed_ = false;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
