// ScriptTagging: the tagging engine of the "script" mode.
#ifndef ORLIX_TAGGING_SCRIPT_SCRIPT_TAGGING_H
#define ORLIX_TAGGING_SCRIPT_SCRIPT_TAGGING_H

#include "tagging/tagging_impl.h"

namespace ORLIX {
namespace Portals {

class ScriptTagging : public TaggingImpl {
 public:
  explicit ScriptTagging(IPortalHost* host) : TaggingImpl(host) {}
  ~ScriptTagging() override;

  String name() const override { return "Scripting"; }
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
