// The Script engine's tag-definition file: a short header, then one script
// per tag between "$! Start tag script" and "$! End tag script". Files are
// named S_in_<analysis>_<file> and S_out_<analysis>_<file>.
#ifndef ORLIX_TAGGING_SCRIPT_SCRIPT_TAG_FILE_H
#define ORLIX_TAGGING_SCRIPT_SCRIPT_TAG_FILE_H

#include "portal/host/host_types.h"
#include "xmlportal/tag_data.h"

namespace ORLIX {
namespace Portals {

// Writes every tag of `tags` into destDir and records the file's bare name in
// outData[fileName + "_intagfile" / "_outtagfile"]; without destDir only the
// name is recorded. No tags: nothing written, true.
bool writeScriptTagFile(const String& fileName, const TagList& tags,
                        const StringStringMap& analysisProps, StringStringMap& outData,
                        bool isInput, String& message);

// 0 read; 1 the file cannot be opened (message says so); -1 no path, or not
// a script tag file.
int readScriptTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                      TagList& tags, bool isInput, String& message);

// A tag's script keeps "%names%" where its SET_PARAMETER_LIST names the
// parameters, and the names themselves in paramName. The first takes the list
// out of a script read from a file; the second puts it back for writing.
void takeParameterList(String& code, String& paramName);
String restoreParameterList(const String& code, const String& paramName);

}  // namespace Portals
}  // namespace ORLIX

#endif
