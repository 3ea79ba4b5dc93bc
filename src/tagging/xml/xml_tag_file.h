// The XML engine's tag-definition file: an XML document whose root
// "TagDefinition" names the analysis file, with one "tag" element per tag
// ("mode", "paramName", "paramType", "format", then the engine's own "xpath"
// and "xid"). Files are named X_in_<analysis>_<file> and X_out_<analysis>_<file>.
#ifndef ORLIX_TAGGING_XML_XML_TAG_FILE_H
#define ORLIX_TAGGING_XML_XML_TAG_FILE_H

#include "portal/host/host_types.h"
#include "tagging/tagging_impl.h"
#include "xmlportal/tag_data.h"

namespace ORLIX {
namespace Portals {

String xmlTagFileName(const String& fileName, const StringStringMap& analysisProps,
                      bool isInput);

// Writes the tags whose "filename" is `fileName` into destDir, letting
// `engine` add its document and tag attributes, and records the file's name in
// outData[fileName + "_intagfile" / "_outtagfile"]. No such tag, or no
// destDir: nothing written, true. False, with ".err.writeToFile", when the
// file cannot be written.
bool writeXmlTagFile(TaggingImpl& engine, const String& fileName, const TagList& tags,
                     const StringStringMap& analysisProps, StringStringMap& outData,
                     bool isInput, String& message);

// 0 read; -1 for an empty path, a file that does not load (`failure` then
// says why: loadXmlFile) and a document whose root is not "TagDefinition"
// (`failure` stays empty), so that the next engine may try it.
int readXmlTagFile(TaggingImpl& engine, const String& tagFilePath, TagList& tags,
                   String& failure);

}  // namespace Portals
}  // namespace ORLIX

#endif
