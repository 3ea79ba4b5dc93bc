#include "tagging/xml/xml_file.h"

#include <cstring>
#include <string>

#include "portal/host/support.h"
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

}  // namespace

bool loadXmlFile(const String& path, unsigned int parseOptions, pugi::xml_document& document,
                 XmlFileFormat& format, String& failure) {
  std::wstring widePath;
  if (!toWidePath(path, widePath, failure)) return false;
  const pugi::xml_parse_result parsed =
      document.load_file(widePath.c_str(), parseOptions, pugi::encoding_auto);
  if (!parsed) {
    failure = parsed.description();
    return false;
  }
  format.encoding = parsed.encoding;
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
