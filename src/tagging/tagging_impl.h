// TaggingImpl: the interface through which the portal drives a tagging engine
// (Mark, XML, Script). Each portal holds one engine of each kind by value.
#ifndef ORLIX_TAGGING_TAGGING_IMPL_H
#define ORLIX_TAGGING_TAGGING_IMPL_H

#include <pugixml.hpp>

#include "portal/helper_base.h"
#include "portal/host/host_types.h"
#include "xmlportal/tag_data.h"

namespace ORLIX {
namespace Portals {

class TaggingImpl : public HelperBase {
 public:
  explicit TaggingImpl(IPortalHost* host) : HelperBase(host) {}
  ~TaggingImpl() override;

  // The engine's name, also the module name of its own messages.
  String name() const override = 0;
  virtual bool writeInputTagFile(const String& baseName, TagList& tags,
                                 const StringStringMap& analysisProps, StringStringMap& outData,
                                 String& message) = 0;
  virtual bool writeOutputTagFile(const String& baseName, TagList& tags,
                                  const StringStringMap& analysisProps, StringStringMap& outData,
                                  String& message) = 0;
  // -1 when the file is not this engine's.
  virtual int readInputTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                               TagList& tags, StringStringMap& outData, String& message) = 0;
  virtual int readOutputTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                                TagList& tags, StringStringMap& outData, String& message) = 0;
  // One design: write the parameter values into every tagged input file.
  virtual bool processInputTags(const StringStringMap& analysisProps, const HostValues* values,
                                String& message) = 0;
  // One design: read every tagged output file and report the response values.
  virtual bool processOutputTags(const StringStringMap& analysisProps, HostResponses* responses,
                                 String& message) = 0;
  virtual void notify(const String& event, const StringStringMap& data);
  virtual void writeDocumentAttributes(pugi::xml_document& document,
                                       const StringStringMap& analysisProps);
  virtual void writeTagAttributes(pugi::xml_node& tagElement, const TagData& tag) = 0;
  virtual void readTagAttributes(const pugi::xml_node& tagElement, TagData& tag) = 0;

 protected:
  // For an engine that cannot handle tag files of its kind yet: true when the
  // portal routed none to it, otherwise an error naming each one.
  bool refuseRoutedTagFiles(const String& tagListKey, const StringStringMap& analysisProps,
                            String& message) const;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
