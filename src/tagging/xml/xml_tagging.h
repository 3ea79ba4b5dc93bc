// XmlTagging: the engine of the "xml" mode. A tag finds its value in an XML
// analysis file by two element paths: "xpath" leads from the document to an
// element, "xid" from there to the attribute, text or child holding the value.
// For each design it writes the parameter values into the tagged input files
// and reports the values of the tagged output files as responses.
#ifndef ORLIX_TAGGING_XML_XML_TAGGING_H
#define ORLIX_TAGGING_XML_XML_TAGGING_H

#include <pugixml.hpp>

#include "tagging/tagging_impl.h"
#include "tagging/xml/element_path.h"
#include "tagging/xml/path_resolution.h"

namespace ORLIX {
namespace Portals {

class XmlTagging : public TaggingImpl {
 public:
  explicit XmlTagging(IPortalHost* host) : TaggingImpl(host) {}
  ~XmlTagging() override;

  String name() const override { return "Xml"; }
  bool writeInputTagFile(const String& baseName, TagList& tags,
                         const StringStringMap& analysisProps, StringStringMap& outData,
                         String& message) override;
  bool writeOutputTagFile(const String& baseName, TagList& tags,
                          const StringStringMap& analysisProps, StringStringMap& outData,
                          String& message) override;
  // -1 for a file that does not load (`message` is then replaced by the
  // reason and the ".err.readTagDefnFile" line) or whose root is not
  // "TagDefinition" (`message` untouched), so the next engine may read it.
  int readInputTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                       TagList& tags, StringStringMap& outData, String& message) override;
  int readOutputTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                        TagList& tags, StringStringMap& outData, String& message) override;
  // Parameter values come from the host service, not from `values`.
  bool processInputTags(const StringStringMap& analysisProps, const HostValues* values,
                        String& message) override;
  // Response values go to the host service, not into `responses`.
  bool processOutputTags(const StringStringMap& analysisProps, HostResponses* responses,
                         String& message) override;
  void writeTagAttributes(pugi::xml_node& tagElement, const TagData& tag) override;
  void readTagAttributes(const pugi::xml_node& tagElement, TagData& tag) override;
  // Writes the tags' values into one input file and saves it; a failing tag is
  // reported and skipped. False when `message` holds an error.
  virtual bool processInputFile(const String& inputPath, TagList& tags,
                                const StringStringMap& analysisProps, String& message);
  // Reports the tags' values of one output file to the host.
  virtual bool processOutputFile(const String& outputPath, TagList& tags,
                                 const StringStringMap& analysisProps, String& message);

 private:
  int readTagFile(const String& tagFilePath, TagList& tags, String& message);
  void reportUnreadableTagFile(const String& tagFilePath, const String& readerMessage,
                               String& message) const;
  // The target of one tag's two paths; false once a failure is reported.
  bool locate(PathResolver& resolver, pugi::xml_node document, const TagData& tag,
              const ElementPath& xpath, const ElementPath& xid, XmlTarget& target,
              String& message) const;
  void reportValue(const String& responseName, const String& value,
                   const StringStringMap& analysisProps) const;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
