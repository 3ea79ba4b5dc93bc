// The Mark engine's tag-definition file: a header of defaults, then one line
// per tag ("free, 12,\s, 3, Continuous, x1, %g": mode, row, delimiters,
// column, parameter type, parameter name, print format). Files are named
// M_in_<analysis>_<file> and M_out_<analysis>_<file>.
#ifndef ORLIX_TAGGING_MARK_MARK_TAG_FILE_H
#define ORLIX_TAGGING_MARK_MARK_TAG_FILE_H

#include "portal/host/host_types.h"
#include "xmlportal/tag_data.h"

namespace ORLIX {
namespace Portals {

// Defaults when the analysis sets no "delims" / "widths": the delimiter set
// comma, semicolon, double quote, equals, parentheses, apostrophe, tab, blank;
// and columns ten characters wide.
extern const char* const kDefaultMarkDelims;
extern const char* const kDefaultMarkWidths;

// Writes the tags whose "filename" is `baseName` into destDir and records the
// file's name in outData[baseName + "_intagfile" / "_outtagfile"]. No such tag:
// nothing written, outData untouched, true.
bool writeMarkTagFile(const String& baseName, const TagList& tags,
                      const StringStringMap& analysisProps, StringStringMap& outData,
                      bool isInput, String& message);

// 0 read; 1 a Mark file that could not be read completely (message says why;
// the tags read so far stay); -1 not a Mark file, or no path.
int readMarkTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                    TagList& tags, StringStringMap& outData, bool isInput, String& message);

// One tag line, as the writer writes it.
String markTagLine(const TagData& tag);
// One tag line into `tag`; false unless it has exactly seven fields.
bool parseMarkTagLine(const String& line, TagData& tag);
// The same for any line, through the escape markers; parseMarkTagLine takes a
// shorter way for lines that have nothing to escape, with the same result.
bool parseEscapedMarkTagLine(const String& line, TagData& tag);

}  // namespace Portals
}  // namespace ORLIX

#endif
