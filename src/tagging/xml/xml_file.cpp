#include "tagging/xml/xml_file.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/regular_file.h"
#include "xmlportal/wide_path.h"

namespace ORLIX {
namespace Portals {
namespace {

// The parser says which encoding it read but not whether a byte-order mark
// told it; a mark the file had must be written back. Looked for before the
// parse, which may convert the bytes in place or free them.
bool startsWithByteOrderMark(const char* contents, std::size_t size) {
  const auto starts = [&](const char* mark, std::size_t length) {
    return size >= length && std::memcmp(contents, mark, length) == 0;
  };
  return starts("\xEF\xBB\xBF", 3) || starts("\xFE\xFF", 2) || starts("\xFF\xFE", 2) ||
         starts("\x00\x00\xFE\xFF", 4);
}

// The parser's words for what went wrong, also where the parser never ran.
String statusText(pugi::xml_parse_status status) {
  pugi::xml_parse_result result;
  result.status = status;
  return result.description();
}

}  // namespace

bool isRegularFile(const String& path) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(std::filesystem::u8path(path), ignored);
}

bool nestedDeeperThan(const pugi::xml_node& top, std::size_t bound) {
  pugi::xml_node node = top;
  std::size_t level = 0;
  for (;;) {
    if (const pugi::xml_node child = node.first_child()) {
      node = child;
      ++level;
    } else {
      while (node != top && !node.next_sibling()) {
        node = node.parent();
        --level;
      }
      if (node == top) return false;
      node = node.next_sibling();
    }
    if (level > bound && node.type() == pugi::node_element) return true;
  }
}

String nestedTooDeepText() {
  return formatMessage(lookupMessage("Xml", ".err.nestedTooDeep"),
                       std::to_string(kMaxXmlDepth));
}

namespace {

// The whole file in a buffer the parser can take over (the document frees it
// with the parser's own deallocation function), or the parser's status for why
// there is none, as its own file loading would give it: the file is read once,
// and its first bytes are at hand before the parse. Anything but a regular
// file reads as a missing one: a folder opens like a file, and the parser then
// takes an absurd size for its length.
pugi::xml_parse_status readContents(const String& path, char*& contents, std::size_t& size) {
  RegularFile file(path);
  if (!file.isOpen()) return pugi::status_file_not_found;
  size = file.size();
  // One byte more than the file: an empty file still gets a buffer.
  contents = static_cast<char*>(pugi::get_memory_allocation_function()(size + 1));
  if (!contents) return pugi::status_out_of_memory;
  std::size_t got = 0;
  if (!file.read(contents, size, got) || got != size) {
    pugi::get_memory_deallocation_function()(contents);
    return pugi::status_io_error;
  }
  return pugi::status_ok;
}

bool loadChecked(const String& path, unsigned int parseOptions, DepthCheck depthCheck,
                 pugi::xml_document& document, XmlFileFormat& format, String& failure) {
  // A path that is not UTF-8 gets its reason, as everywhere a path meets
  // the parser; the wide form itself is not needed here.
  if (!isUtf8Path(path, failure)) return false;
  char* contents = nullptr;
  std::size_t size = 0;
  const pugi::xml_parse_status read = readContents(path, contents, size);
  if (read != pugi::status_ok) {
    failure = statusText(read);
    return false;
  }
  const bool byteOrderMark = startsWithByteOrderMark(contents, size);
  const pugi::xml_parse_result parsed =
      document.load_buffer_inplace_own(contents, size, parseOptions, pugi::encoding_auto);
  if (!parsed) {
    failure = parsed.description();
    return false;
  }
  // Refused here, before any caller can save it: the indented save of a deep
  // document grows with the square of its depth.
  if (depthCheck == DepthCheck::onLoad && nestedDeeperThan(document, kMaxXmlDepth)) {
    document.reset();
    failure = nestedTooDeepText();
    return false;
  }
  format.encoding = parsed.encoding;
  format.byteOrderMark = byteOrderMark;
  return true;
}

}  // namespace

bool loadXmlFile(const String& path, unsigned int parseOptions, pugi::xml_document& document,
                 String& failure) {
  XmlFileFormat format;
  return loadChecked(path, parseOptions, DepthCheck::onLoad, document, format, failure);
}

bool loadXmlFile(const String& path, unsigned int parseOptions, pugi::xml_document& document,
                 XmlFileFormat& format, String& failure, DepthCheck depthCheck) {
  return loadChecked(path, parseOptions, depthCheck, document, format, failure);
}

bool saveXmlFile(const pugi::xml_document& document, const String& path,
                 const XmlFileFormat& format) {
  const String tempPath = path + ".temp";
  std::wstring wideTempPath;
  String pathError;
  if (!toWidePath(tempPath, wideTempPath, pathError)) return false;
  unsigned int flags = pugi::format_indent;
  if (format.byteOrderMark) flags |= pugi::format_write_bom;
  if (!document.save_file(wideTempPath.c_str(), "  ", flags, format.encoding)) {
    Support::File::remove(tempPath);
    return false;
  }
  if (!Support::File::rename(tempPath, path)) {
    Support::File::remove(tempPath);
    return false;
  }
  return true;
}

}  // namespace Portals
}  // namespace ORLIX
