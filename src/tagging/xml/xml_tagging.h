// XmlTagging: the tagging engine of the "xml" mode.
#ifndef ORLIX_TAGGING_XML_XML_TAGGING_H
#define ORLIX_TAGGING_XML_XML_TAGGING_H

#include "tagging/tagging_impl.h"

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
  int readInputTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                       TagList& tags, StringStringMap& outData, String& message) override;
  int readOutputTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                        TagList& tags, StringStringMap& outData, String& message) override;
  bool processInputTags(const StringStringMap& analysisProps, const HostValues* values,
                        String& message) override;
  bool processOutputTags(const StringStringMap& analysisProps, HostResponses* responses,
                         String& message) override;
  void writeTagAttributes(pugi::xml_node& tagElement, const TagData& tag) override;
  void readTagAttributes(const pugi::xml_node& tagElement, TagData& tag) override;
  // Update one tagged input file / read one tagged output file.
  virtual bool processInputFile(const String& inputPath, TagList& tags,
                                const StringStringMap& analysisProps, String& message);
  virtual bool processOutputFile(const String& outputPath, TagList& tags,
                                 const StringStringMap& analysisProps, String& message);

 private:
  bool writeTagFile(const String& baseName, TagList& tags, const StringStringMap& analysisProps,
                    bool isInput, String& message) const;
  bool refuseFile(const String& path, String& message) const;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
