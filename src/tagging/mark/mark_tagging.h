// MarkTagging: the tagging engine of the "free" and "fixed" mode.
#ifndef ORLIX_TAGGING_MARK_MARK_TAGGING_H
#define ORLIX_TAGGING_MARK_MARK_TAGGING_H

#include "tagging/tagging_impl.h"

namespace ORLIX {
namespace Portals {

class MarkTagging : public TaggingImpl {
 public:
  explicit MarkTagging(IPortalHost* host) : TaggingImpl(host) {}
  ~MarkTagging() override;

  String name() const override { return "Marking"; }
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

 private:
  bool writeTagFile(const String& baseName, TagList& tags, const StringStringMap& analysisProps,
                    bool isInput, String& message) const;

};

}  // namespace Portals
}  // namespace ORLIX

#endif
