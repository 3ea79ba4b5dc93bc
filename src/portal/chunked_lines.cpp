#include "portal/chunked_lines.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace ORLIX {
namespace Portals {
namespace {

constexpr std::size_t kWriteBlock = 1u << 20;

}  // namespace

ChunkedLineReader::ChunkedLineReader(const String& path, std::size_t windowBytes)
    : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)), window_(windowBytes) {
  struct stat info;
  if (fd_ >= 0 && (::fstat(fd_, &info) != 0 || S_ISDIR(info.st_mode))) {
    ::close(fd_);
    fd_ = -1;
  }
  if (fd_ >= 0) size_ = static_cast<unsigned long long>(info.st_size);
}

ChunkedLineReader::~ChunkedLineReader() { close(); }

void ChunkedLineReader::close() {
  releaseWindow();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void ChunkedLineReader::releaseWindow() {
  if (map_) ::munmap(map_, mapLength_);
  map_ = nullptr;
  mapLength_ = 0;
  block_ = std::string_view();
  blockPosition_ = 0;
}

// Maps the window that starts at the first unread byte and sets block_ to its
// whole lines; a window without a line end grows until it has one or reaches
// the end of the file.
bool ChunkedLineReader::loadWindow() {
  releaseWindow();
  if (fd_ < 0 || failed_ || position_ >= size_) return false;
  const unsigned long long page = static_cast<unsigned long long>(::sysconf(_SC_PAGESIZE));
  for (;;) {
    const unsigned long long start = position_ - position_ % page;
    const unsigned long long end = std::min<unsigned long long>(size_, start + window_);
    const std::size_t length = static_cast<std::size_t>(end - start);
    const char* data = nullptr;
    void* mapped = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd_, static_cast<off_t>(start));
    if (mapped != MAP_FAILED) {
      ::madvise(mapped, length, MADV_SEQUENTIAL);
      map_ = mapped;
      mapLength_ = length;
      data = static_cast<const char*>(mapped);
    } else {
      copy_.resize(length);
      const ssize_t got = ::pread(fd_, copy_.data(), length, static_cast<off_t>(start));
      if (got != static_cast<ssize_t>(length)) {
        failed_ = true;
        return false;
      }
      data = copy_.data();
    }
    const std::size_t offset = static_cast<std::size_t>(position_ - start);
    std::string_view available(data + offset, length - offset);
    if (end == size_) {
      block_ = available;
    } else {
      const auto lastFeed = available.rfind('\n');
      if (lastFeed == std::string_view::npos) {
        releaseWindow();
        window_ *= 2;  // one line longer than the window
        continue;
      }
      block_ = available.substr(0, lastFeed + 1);
    }
    position_ += block_.size();
    return true;
  }
}

bool ChunkedLineReader::nextLines(std::string_view& lines) {
  if (blockPosition_ < block_.size()) {
    lines = block_.substr(blockPosition_);
    blockPosition_ = block_.size();
    return true;
  }
  if (!loadWindow()) return false;
  lines = block_;
  blockPosition_ = block_.size();
  return true;
}

bool ChunkedLineReader::next(std::string_view& line) {
  if (blockPosition_ >= block_.size() && !loadWindow()) return false;
  const std::size_t feed = block_.find('\n', blockPosition_);
  const std::size_t end = feed == std::string_view::npos ? block_.size() : feed;
  line = block_.substr(blockPosition_, end - blockPosition_);
  blockPosition_ = feed == std::string_view::npos ? block_.size() : feed + 1;
  return true;
}

ChunkedWriter::ChunkedWriter(const String& path) : file_(std::fopen(path.c_str(), "wb")) {
  pending_.reserve(kWriteBlock + 4096);
}

ChunkedWriter::~ChunkedWriter() { close(); }

void ChunkedWriter::write(std::string_view text) {
  if (!file_) return;
  if (text.size() >= kWriteBlock) {  // large runs go out as they are
    flush();
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) failed_ = true;
    return;
  }
  pending_.append(text.data(), text.size());
  if (pending_.size() >= kWriteBlock) flush();
}

void ChunkedWriter::copyRange(int fromDescriptor, unsigned long long offset,
                              std::string_view text) {
  if (!file_ || text.size() < kWriteBlock) {
    write(text);
    return;
  }
  flush();
  std::fflush(file_);
  loff_t from = static_cast<loff_t>(offset);
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t copied = ::copy_file_range(fromDescriptor, &from, ::fileno(file_), nullptr, left, 0);
    if (copied <= 0) break;
    left -= static_cast<std::size_t>(copied);
  }
  if (left > 0) {  // the system cannot copy between these files: write what is left
    const std::string_view rest = text.substr(text.size() - left);
    if (std::fwrite(rest.data(), 1, rest.size(), file_) != rest.size()) failed_ = true;
  }
}

bool ChunkedWriter::flush() {
  if (!pending_.empty() &&
      std::fwrite(pending_.data(), 1, pending_.size(), file_) != pending_.size()) {
    failed_ = true;
  }
  pending_.clear();
  return !failed_;
}

bool ChunkedWriter::close() {
  if (!file_) return false;
  flush();
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

}  // namespace Portals
}  // namespace ORLIX
