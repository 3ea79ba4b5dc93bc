// What the targets share: one scratch folder per process whose files are
// rewritten under the same names on every input (a night-long run must not
// fill the disk), the splitting of one input into several arguments, and the
// rule that an exception swallowed at an IPortal edge is a finding too.
#ifndef ORLIX_FUZZ_FUZZ_SUPPORT_H
#define ORLIX_FUZZ_FUZZ_SUPPORT_H

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace fuzz {

// Made on first use and removed at a normal exit; a crashed run leaves it
// behind with the file that crashed it. It lives in memory when it can: on a
// disk mounted with online discard, truncating a file on every input costs
// more than the parsing being tested.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = baseFolder() + "/portal-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) {
      std::perror("portal fuzz: cannot make the scratch folder");
      std::abort();
    }
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

  // Replaces the file's whole content; returns its path.
  std::string write(const std::string& name, const void* data, std::size_t size) const {
    const std::string target = file(name);
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
      std::fprintf(stderr, "portal fuzz: cannot write %s\n", target.c_str());
      std::abort();
    }
    return target;
  }
  std::string write(const std::string& name, const std::string& text) const {
    return write(name, text.data(), text.size());
  }

 private:
  // $FUZZ_SCRATCH_BASE, else /dev/shm, else $TMPDIR, else /tmp.
  static std::string baseFolder() {
    const char* chosen = std::getenv("FUZZ_SCRATCH_BASE");
    if (chosen && *chosen) return chosen;
    if (access("/dev/shm", W_OK | X_OK) == 0) return "/dev/shm";
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? tmp : "/tmp";
  }

  std::string path_;
};

inline const ScratchFolder& scratch() {
  static const ScratchFolder folder;
  return folder;
}

// The input cut at every `separator`; always `count` fields, the missing ones
// empty and everything after the last separator kept in the last field, so
// every input means something and a seed stays readable as text.
inline std::vector<std::string> splitFields(const std::uint8_t* data, std::size_t size,
                                            char separator, std::size_t count) {
  std::vector<std::string> fields(count);
  std::size_t field = 0;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c == separator && field + 1 < count) {
      ++field;
    } else {
      fields[field] += c;
    }
  }
  return fields;
}

// A decimal number of the input, clamped to int; anything else reads as 0.
// Signs and huge values are kept on purpose: positions and columns come from
// files the user wrote.
inline int toInt(const std::string& text) {
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (value > 2147483647LL) return 2147483647;
  if (value < -2147483647LL - 1) return -2147483647 - 1;
  return static_cast<int>(value);
}

[[noreturn]] inline void finding(const std::string& what) {
  std::fprintf(stderr, "portal fuzz: %s\n", what.c_str());
  std::abort();
}

// The IPortal operations turn any exception into a line of their message
// that starts "Exception caught: "; for a parser that line means a bug the
// guard only hid (nothing in the portal throws on purpose), so it stops the
// run like a crash. Only a line's start counts: messages quote the input, and
// the input may hold those words anywhere.
inline void expectNoEscapedException(const std::string& message) {
  static const std::string kMark = "Exception caught: ";
  for (std::size_t at = 0; at < message.size();) {
    if (message.compare(at, kMark.size(), kMark) == 0) {
      finding("an operation threw: " + message);
    }
    const std::size_t end = message.find('\n', at);
    if (end == std::string::npos) break;
    at = end + 1;
  }
}

}  // namespace fuzz

#endif
