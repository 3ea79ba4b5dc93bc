// What the portal relies on from the host's support library (ORLIXSupport):
// file names, line readers and writers, the buffered reader, the message string
// table and the tool-message parser. The host ships the implementation.
#ifndef ORLIX_PORTAL_HOST_SUPPORT_H
#define ORLIX_PORTAL_HOST_SUPPORT_H

#include <cstddef>
#include <fstream>
#include <vector>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Support {

// Paths use '/' or '\' as separators.
class File {
 public:
  // Last component of `path`; without its extension (and the dot) when
  // withExtension is false.
  static String base(const String& path, bool withExtension);
  // Extension of the last component, without the dot, letter case as written.
  static String extension(const String& path);
  // Folder part without a trailing separator; "." for a bare file name.
  static String parentFolder(const String& path);
  static bool exists(const String& path);
  // Seconds since the epoch; 0 for a missing file. Only ever compared.
  static unsigned int modifiedTime(const String& path);
  static bool rename(const String& from, const String& to);
  static bool remove(const String& path);
  // Byte-for-byte copy; false when either side cannot be opened or written.
  static bool copy(const String& from, const String& to);
};

// An input file stream; is_open() tells whether opening succeeded.
class FileReader : public std::ifstream {
 public:
  FileReader(const String& path, bool binary);
  // The next line without its terminator; false at the end of the file.
  bool getLine(String& line, char delimiter = '\n');
};

// An output file stream that creates or truncates its file (appends when asked).
class FileWriter : public std::ofstream {
 public:
  FileWriter();
  FileWriter(const String& path, bool append);
  void open(const String& path, bool append = false);
};

// The whole file as rows numbered from 0, with a cursor on row 0. One offset per
// row and a window of the file: a row is read when asked for. Rows end at '\n'; a
// carriage return stays part of its row; a final '\n' does not start a new row.
class FileBufferedReader {
 public:
  explicit FileBufferedReader(const String& path);
  ~FileBufferedReader();
  FileBufferedReader(const FileBufferedReader&) = delete;
  FileBufferedReader& operator=(const FileBufferedReader&) = delete;
  bool isOpen() const { return fd_ >= 0; }
  int numLines() const;
  int currentRowNumber() const { return row_; }
  // False (cursor unchanged) when `row` lies outside the file.
  bool gotoLine(const int& row);
  // Empty for a row outside the file.
  String getLine(int row) const;
  String getCurrentLine() const { return getLine(row_); }

 private:
  // The file stays open and only a window of it is held, so memory stays flat
  // whatever the file's size (support/file_buffered_reader.cpp says why and
  // how). getLine moves the window: a reader serves one thread at a time.
  bool indexRows(std::size_t span);
  void addRowStart(std::uint64_t start);
  std::uint64_t rowStart(std::size_t row) const;
  bool windowHolds(std::uint64_t start, std::size_t length) const;
  void moveWindow(std::uint64_t start, std::size_t length) const;
  String copyFromWindow(std::uint64_t start, std::size_t length) const;
  String readDirectly(std::uint64_t start, std::size_t length) const;

  int fd_ = -1;
  // Row starts in blocks of a fixed size, so that growing never moves them
  // (a growing vector would briefly hold them twice).
  std::vector<std::vector<std::uint64_t>> rowStarts_;
  std::size_t rows_ = 0;
  std::uint64_t lastRowEnd_ = 0;  // before the file's final '\n', if any
  // window_[i] is the file's byte windowStart_ + i, for i < windowFill_; its
  // size is the span read at a time.
  mutable std::vector<char> window_;
  mutable std::uint64_t windowStart_ = 0;
  mutable std::size_t windowFill_ = 0;
  int row_ = 0;
};

class StringTable {
 public:
  // The text under `module` and `key`; the key itself when no text is known.
  static String lookup(const String& module, const String& key);
  // Every module, key and text, one entry per line.
  static String dumpStringTableIdsAndMessages();
};

class FileParser {
 public:
  // The messages the run of `tool` left for `category`, one per entry, each
  // beginning with its kind ("ERROR: ", "WARNING: ", ...). `${name}` in the
  // configured file names is replaced from `variables`. Problems with the
  // configuration are appended to `error`; a missing file gives no messages.
  static StringList getToolMessagesUsingConfigFile(const String& tool, const String& category,
                                                   const StringStringMap& variables,
                                                   String& error);
};

}  // namespace Support
}  // namespace ORLIX

#endif
