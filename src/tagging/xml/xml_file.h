// XML files on disk for the XML engine: loading with the parser's reason for a
// failure, and saving so that a file is replaced whole or not at all.
#ifndef ORLIX_TAGGING_XML_XML_FILE_H
#define ORLIX_TAGGING_XML_XML_FILE_H

#include <pugixml.hpp>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

// How a file was stored, so that saving it again keeps its encoding and its
// byte-order mark.
struct XmlFileFormat {
  pugi::xml_encoding encoding = pugi::encoding_utf8;
  bool byteOrderMark = false;
};

// False with `failure` set to the parser's description (or why the path
// cannot reach the parser) when the file does not load.
bool loadXmlFile(const String& path, unsigned int parseOptions, pugi::xml_document& document,
                 XmlFileFormat& format, String& failure);

// Writes `document` indented by two blanks to path + ".temp" and renames that
// over `path`. On failure the temporary file is removed and `path` is as it
// was.
bool saveXmlFile(const pugi::xml_document& document, const String& path,
                 const XmlFileFormat& format);

}  // namespace Portals
}  // namespace ORLIX

#endif
