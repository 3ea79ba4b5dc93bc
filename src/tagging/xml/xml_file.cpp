#include "tagging/xml/xml_file.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "xmlportal/wide_path.h"

namespace ORLIX {
namespace Portals {
namespace {

// The parser says which encoding it read but not whether a byte-order mark
// told it; a mark the file had must be written back.
bool startsWithByteOrderMark(const String& path) {
  Support::FileReader reader(path, true);
  unsigned char head[4] = {0, 0, 0, 0};
  reader.read(reinterpret_cast<char*>(head), sizeof head);
  const std::streamsize read = reader.gcount();
  const auto starts = [&](const char* mark, std::streamsize length) {
    return read >= length && std::memcmp(head, mark, static_cast<std::size_t>(length)) == 0;
  };
  return starts("\xEF\xBB\xBF", 3) || starts("\xFE\xFF", 2) || starts("\xFF\xFE", 2) ||
         starts("\x00\x00\xFE\xFF", 4);
}

// Whoever reads the message knows a missing file's words already; a folder
// or a device in its place is no different to them.
String notFoundText() {
  pugi::xml_parse_result result;
  result.status = pugi::status_file_not_found;
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

// The parser's encoding of the file, or false with `failure` set.
bool loadChecked(const String& path, unsigned int parseOptions, pugi::xml_document& document,
                 pugi::xml_encoding& encoding, String& failure) {
  std::wstring widePath;
  if (!toWidePath(path, widePath, failure)) return false;
  if (!isRegularFile(path)) {
    failure = notFoundText();
    return false;
  }
  const pugi::xml_parse_result parsed =
      document.load_file(widePath.c_str(), parseOptions, pugi::encoding_auto);
  if (!parsed) {
    failure = parsed.description();
    return false;
  }
  // Refused here, before any caller can save it: the indented save of a deep
  // document grows with the square of its depth.
  if (nestedDeeperThan(document, kMaxXmlDepth)) {
    document.reset();
    failure = nestedTooDeepText();
    return false;
  }
  encoding = parsed.encoding;
  return true;
}

}  // namespace

bool loadXmlFile(const String& path, unsigned int parseOptions, pugi::xml_document& document,
                 String& failure) {
  pugi::xml_encoding encoding = pugi::encoding_auto;
  return loadChecked(path, parseOptions, document, encoding, failure);
}

bool loadXmlFile(const String& path, unsigned int parseOptions, pugi::xml_document& document,
                 XmlFileFormat& format, String& failure) {
  if (!loadChecked(path, parseOptions, document, format.encoding, failure)) return false;
  format.byteOrderMark = startsWithByteOrderMark(path);
  return true;
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
