// What the XML targets share beyond fuzz_support.h: the input once more, nested
// as deep as its first byte asks, and a folder where a file is expected. Both
// must be refused in words: a deep document before anything is saved (its
// indented copy grows with the square of its depth), a folder exactly like a
// missing file (the parser would take an absurd size for it).
#ifndef ORLIX_FUZZ_XML_NESTING_H
#define ORLIX_FUZZ_XML_NESTING_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "fuzz_support.h"
#include "tagging/xml/xml_file.h"

namespace fuzz {

// How many levels the input's copy is wrapped in: mostly a few; else one
// short of the portal's bound (the input's own elements then decide), at it,
// or far past it. Rarely far: a deep copy costs a thousand shallow ones, and
// the unit tests already show the check safe at any depth.
inline std::size_t nestingDepth(const std::uint8_t* data, std::size_t size) {
  const unsigned choice = size == 0 ? 0 : data[0];
  const std::size_t bound = ORLIX::Portals::kMaxXmlDepth;
  if (choice < 192) return choice % 64;
  if (choice < 224) return bound - 1;
  if (choice < 252) return bound;
  return 20 * bound;
}

// `inner` inside `depth` copies of `open` ... `close`.
inline std::string nestInside(const std::string& inner, std::size_t depth,
                              const std::string& open, const std::string& close) {
  std::string text;
  text.reserve(inner.size() + depth * (open.size() + close.size()));
  for (std::size_t i = 0; i < depth; ++i) text += open;
  text += inner;
  for (std::size_t i = 0; i < depth; ++i) text += close;
  return text;
}

// A folder in the scratch folder, named like one of the files the target
// writes; made on first use.
inline std::string scratchFolder(const std::string& name) {
  const std::string path = scratch().file(name);
  std::error_code ignored;
  std::filesystem::create_directory(path, ignored);
  return path;
}

}  // namespace fuzz

#endif
