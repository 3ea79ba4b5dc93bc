// Numbers as text: exact for files that programs read back, short for people.
// A number that is not finite is "nan", "inf" or "-inf" either way.
#ifndef PORTAL_HOST_STUDY_NUMBER_TEXT_H
#define PORTAL_HOST_STUDY_NUMBER_TEXT_H

#include <string>

namespace portalhost {

// The shortest text that reads back as the same double.
std::string exactNumber(double value);
// Six significant digits.
std::string shortNumber(double value);

}  // namespace portalhost

#endif
