// Text from a study or a solver, made safe for HTML and SVG: any bytes in,
// valid UTF-8 out, cut at a character boundary.
#ifndef PORTAL_HOST_STUDY_HTML_TEXT_H
#define PORTAL_HOST_STUDY_HTML_TEXT_H

#include <cstddef>
#include <string>

namespace portalhost {

// Escaped for an element's text or an attribute's value; invalid UTF-8 and the
// code points HTML calls parse errors become U+FFFD.
std::string escaped(const std::string& text);
// Cut after `most` characters, never inside one, with an ellipsis where it was cut.
std::string clipped(const std::string& text, std::size_t most);
std::size_t characterCount(const std::string& text);

}  // namespace portalhost

#endif
