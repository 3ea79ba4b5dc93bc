// XML files on disk for the XML engine and the portal's XML layer: loading with
// the parser's reason for a failure, refusing what no real analysis or tag file
// is (a folder, a document nested absurdly deep), and saving so that a file is
// replaced whole or not at all.
#ifndef ORLIX_TAGGING_XML_XML_FILE_H
#define ORLIX_TAGGING_XML_XML_FILE_H

#include <cstddef>

#include <pugixml.hpp>

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

// How deep elements may nest in any XML file the portal reads or writes (the
// root element is level 1). Real analysis and tag files stay within a few dozen
// levels. The indented save repeats the indentation of every level on every
// line, so a 70 KB file nested 10,000 deep comes back as 200 MB, and the tag
// reader builds a path per tag as long as its depth: 1,000 levels keep both to
// a few megabytes at worst while leaving every real file far inside the bound.
constexpr std::size_t kMaxXmlDepth = 1000;

// How a file was stored, so that saving it again keeps its encoding and its
// byte-order mark.
struct XmlFileFormat {
  pugi::xml_encoding encoding = pugi::encoding_utf8;
  bool byteOrderMark = false;
};

// True for a regular file (or a link to one). A folder opens like a file on
// some systems, and the parser then takes an absurd size for its length.
bool isRegularFile(const String& path);

// True when some element under `node` lies more than `bound` levels below it.
// The walk is iterative, so the check itself is safe at any depth.
bool nestedDeeperThan(const pugi::xml_node& node, std::size_t bound);

// The text that refuses a document nested deeper than kMaxXmlDepth.
String nestedTooDeepText();

// Who refuses a document nested deeper than kMaxXmlDepth. A caller that walks
// the whole document anyway may take the bound over and check it on that walk
// (saving the walk of the check: on a file of a million elements it costs a
// tenth of the parse); it must then refuse such a document as loadXmlFile
// would, with nestedTooDeepText(), before reading from it or saving it.
enum class DepthCheck { onLoad, byCaller };

// False with `failure` set when the file does not load: the parser's
// description, the same "not found" description for anything that is not a
// regular file, why the path cannot reach the parser, or nestedTooDeepText().
bool loadXmlFile(const String& path, unsigned int parseOptions, pugi::xml_document& document,
                 XmlFileFormat& format, String& failure, DepthCheck depthCheck);
bool loadXmlFile(const String& path, unsigned int parseOptions, pugi::xml_document& document,
                 String& failure);

// Writes `document` indented by two blanks to path + ".temp" and renames that
// over `path`. On failure the temporary file is removed and `path` is as it
// was.
bool saveXmlFile(const pugi::xml_document& document, const String& path,
                 const XmlFileFormat& format);

}  // namespace Portals
}  // namespace ORLIX

#endif
