#include "tagging/mark/line_copier.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace ORLIX {
namespace Portals {
namespace {

// Offset of the next '\n' in [from, to) of `data`, or `to` when there is none.
std::size_t findFeed(const char* data, std::size_t from, std::size_t to) {
  const void* feed = std::memchr(data + from, '\n', to - from);
  return feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - data) : to;
}

// Number of '\n' in [data, data + size). Lines between tags are short and
// many, so skipping them one memchr call each costs more than the copying;
// counting a whole stretch at a time skips it at memory speed.
std::size_t countFeeds(const char* data, std::size_t size) {
  std::size_t count = 0;
  std::size_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
  const __m128i feed = _mm_set1_epi8('\n');
  while (size - i >= 16) {
    // Byte counters take at most 255 rounds before they are summed up.
    __m128i counters = _mm_setzero_si128();
    const std::size_t rounds = std::min<std::size_t>((size - i) / 16, 255);
    for (std::size_t r = 0; r < rounds; ++r, i += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
      counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(bytes, feed));
    }
    const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
    count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
             static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
  }
#endif
  for (; i < size; ++i) count += data[i] == '\n';
  return count;
}

// Offset just past the `lines`-th '\n' at or after `from`, with `lines`
// counted down by the feeds passed; `to` when there are not that many.
std::size_t skipFeeds(const char* data, std::size_t from, std::size_t to, long long& lines) {
  constexpr std::size_t kStretch = 1024;
  while (lines > 0 && to - from >= kStretch) {
    const std::size_t feeds = countFeeds(data + from, kStretch);
    if (static_cast<long long>(feeds) >= lines) break;
    lines -= static_cast<long long>(feeds);
    from += kStretch;
  }
  while (lines > 0) {
    const std::size_t feed = findFeed(data, from, to);
    if (feed == to) return to;
    from = feed + 1;
    --lines;
  }
  return from;
}

}  // namespace

LineCopier::LineCopier(std::istream& in, std::ostream& out, std::size_t blockSize)
    : in_(in),
      out_(out),
      buffer_(new char[std::max<std::size_t>(blockSize, 1)]),
      blockSize_(std::max<std::size_t>(blockSize, 1)) {
  pending_.reserve(blockSize_);
}

bool LineCopier::fill() {
  if (begin_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == blockSize_) return false;
  in_.read(buffer_.get() + end_, static_cast<std::streamsize>(blockSize_ - end_));
  const std::size_t got = static_cast<std::size_t>(in_.gcount());
  end_ += got;
  return got > 0;
}

void LineCopier::pass(const char* data, std::size_t size) {
  if (pending_.size() + size > blockSize_) flush();
  if (size >= blockSize_) {
    out_.write(data, static_cast<std::streamsize>(size));
  } else {
    pending_.append(data, size);
  }
}

void LineCopier::flush() {
  out_.write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
  pending_.clear();
  out_.flush();
}

bool LineCopier::copyUntil(long long lineNumber) {
  while (nextLine_ < lineNumber) {
    long long lines = lineNumber - nextLine_;
    const std::size_t scan = skipFeeds(buffer_.get(), begin_, end_, lines);
    nextLine_ = lineNumber - lines;
    if (nextLine_ == lineNumber) {
      pass(buffer_.get() + begin_, scan - begin_);
      begin_ = scan;
      return true;
    }
    // Everything held belongs to lines before the one wanted, a started line
    // included: pass it all on and go on looking for that line's end.
    pass(buffer_.get() + begin_, end_ - begin_);
    begin_ = end_ = 0;
    if (!fill()) return false;
  }
  return true;
}

bool LineCopier::takeLine(String& line, std::size_t room) {
  std::size_t scan = begin_;
  for (;;) {
    const std::size_t feed = findFeed(buffer_.get(), scan, end_);
    if (feed != end_) {
      line.assign(buffer_.get() + begin_, feed - begin_);
      begin_ = feed + 1;
      ++nextLine_;
      takenLineEnded_ = true;
      return true;
    }
    scan = end_ - begin_;  // where the unsearched bytes start once fill() moved them
    if (!fill()) break;
  }
  if (begin_ == end_) return false;
  if (end_ - begin_ == blockSize_) {
    takeLongLine(line, room);
    return true;
  }
  line.assign(buffer_.get() + begin_, end_ - begin_);  // a last line without line feed
  begin_ = end_;
  ++nextLine_;
  takenLineEnded_ = false;
  return true;
}

void LineCopier::takeLongLine(String& line, std::size_t room) {
  const long long rest = restOfLineLength();
  line.clear();
  if (rest >= 0) line.reserve(end_ - begin_ + static_cast<std::size_t>(rest) + room);
  takenLineEnded_ = false;
  do {
    const std::size_t feed = findFeed(buffer_.get(), begin_, end_);
    line.append(buffer_.get() + begin_, feed - begin_);
    if (feed != end_) {
      begin_ = feed + 1;
      takenLineEnded_ = true;
      break;
    }
    begin_ = end_ = 0;
  } while (fill());
  ++nextLine_;
}

long long LineCopier::restOfLineLength() {
  const std::istream::pos_type start = in_.tellg();
  if (start == std::istream::pos_type(-1)) return -1;
  char chunk[1 << 16];
  long long length = 0;
  for (;;) {
    in_.read(chunk, sizeof chunk);
    const std::size_t got = static_cast<std::size_t>(in_.gcount());
    const std::size_t feed = findFeed(chunk, 0, got);
    length += static_cast<long long>(feed);
    if (feed != got || got < sizeof chunk) break;
  }
  in_.clear();
  // Not back where it was, the input would lose the bytes measured: that
  // must read as the read error it is, not as an end of the input.
  if (!in_.seekg(start)) in_.setstate(std::ios::badbit);
  return length;
}

void LineCopier::write(const String& text) { pass(text.data(), text.size()); }

void LineCopier::finish() {
  do {
    pass(buffer_.get() + begin_, end_ - begin_);
    begin_ = end_ = 0;
  } while (fill());
  flush();
}

}  // namespace Portals
}  // namespace ORLIX
