// What the engines' tag-file writers share: the file's name, which tells the
// engine, the direction, the analysis and the tagged file apart
// ("M_in_a1_deck.dat"); the entry that hands that name back to the host; and
// a write that says whether the whole content reached the disk.
#ifndef ORLIX_TAGGING_TAG_FILE_OUTPUT_H
#define ORLIX_TAGGING_TAG_FILE_OUTPUT_H

#include "portal/host/host_types.h"

namespace ORLIX {
namespace Portals {

// `<engineLetter>_in_<analysisName>_<fileName>`, or "_out_" for an output.
String engineTagFileName(char engineLetter, const String& fileName,
                         const StringStringMap& analysisProps, bool isInput);

// The lines every text tag file starts with: what the file is, in which
// version, and which file it tags. The reader knows the engine by `fileType`.
String tagFileOpening(const String& fileType, const String& version, const String& fileName);

// outData[fileName + "_intagfile" / "_outtagfile"] = tagFileName. Only for a
// file that was written (or was not meant to be): the host must not be told
// of a tag file that does not exist.
void recordTagFile(StringStringMap& outData, const String& fileName, bool isInput,
                   const String& tagFileName);

// True only when the file was opened and every byte written, a full disk
// included. Never throws.
bool writeWholeFile(const String& path, const String& content);

}  // namespace Portals
}  // namespace ORLIX

#endif
