// How the host prints a parameter's value for a file: parameterValue hands the
// portal the text it should write, already shaped by the tag's format.
#ifndef PORTAL_HOST_PARAMETER_FORMAT_H
#define PORTAL_HOST_PARAMETER_FORMAT_H

#include <string>

namespace portalhost {

// When `format` holds exactly one printf number conversion (%g %e %f %d %i, with
// optional flags, width and precision) the value is printed through the whole
// format; %d and %i print it truncated to an integer. Values that do not read
// whole as a decimal number, and every other format ("Default", "", plain text),
// leave the value as it is. A value with line feeds is a list: each piece is
// formatted on its own.
std::string formatParameterValue(const std::string& value, const std::string& format);

}  // namespace portalhost

#endif
