// PortalImpl: the generic portal every portal class derives from. It owns one
// tagging engine of each kind and implements the generic per-design walks over
// them, the tag-file routing, the check dispatch and the solver-message scan.
#ifndef ORLIX_PORTAL_PORTAL_IMPL_H
#define ORLIX_PORTAL_PORTAL_IMPL_H

#include "portal/helper_base.h"
#include "portal/host/portal.h"
#include "tagging/mark/mark_tagging.h"
#include "tagging/script/script_tagging.h"
#include "tagging/xml/xml_tagging.h"

namespace ORLIX {
namespace Portals {

class PortalImpl : public HelperBase, public IPortal {
 public:
  explicit PortalImpl(IPortalHost* host);
  ~PortalImpl() override;

  // Both HelperBase and IExtension ask for the name; the concrete portal answers once.
  String name() const override = 0;

  // IExtension
  String type() const override;
  IProperties& properties() override;
  void* getInterface(int id) override;

  // IPortal
  bool writeInputTagData(const String& fileName, TagList& tags,
                         const StringStringMap& analysisProps, StringStringMap& outData,
                         String& message) override;
  bool writeOutputTagData(const String& fileName, TagList& tags,
                          const StringStringMap& analysisProps, StringStringMap& outData,
                          String& message) override;
  int readInputTagData(const String& tagFilePath, const StringStringMap& analysisProps,
                       TagList& tags, StringStringMap& outData, String& message) override;
  int readOutputTagData(const String& tagFilePath, const StringStringMap& analysisProps,
                        TagList& tags, StringStringMap& outData, String& message) override;
  bool updateInputFiles(const StringStringMap& analysisProps, const HostValues* values,
                        String& message) override;
  bool check(const String& kind, const StringStringMap& analysisProps, bool& result,
             String& message) override;
  bool processOutputFiles(const StringStringMap& analysisProps, HostResponses* responses,
                          String& message) override;
  void notifyEngines(const String& event, const StringStringMap& data) override;

  // The portal's own operations, in table order.
  virtual bool extractResponses(const String& outputPath, const StringStringMap& analysisProps,
                                TagList& tags, String& message);
  virtual bool checkSuccess(const StringStringMap& analysisProps, bool& success,
                            String& message);
  virtual bool checkFinish(const StringStringMap& analysisProps, bool& finished,
                           String& message);

  // Support operations for the derived portals.
  String baseName(const String& path, bool withExtension) const;
  String extensionOf(const String& path) const;
  bool exists(const String& path) const;
  String parentFolder(const String& path) const;
  String installLocation(const String& analysisName, bool preferLocal) const;
  String primaryFile(const StringStringMap& analysisProps, bool isInput) const;
  // The "Lines" of the analysis' analysisPortalData, split into lines.
  StringList portalDataLines(const String& analysisName) const;

  // Sorts tag files to the engine they belong to, by name prefix and content.
  // Each output list is parallel to `tagFiles`.
  void routeTagFiles(const StringList& files, const StringList& tagFiles, StringList& markTags,
                     StringList& xmlTags, StringList& scriptTags, StringList& portalTags,
                     bool isInput);
  void keepPortalTagFiles(const StringList& files, StringList& tagFiles, bool isInput);

  // Forwards the messages that a run of the solver (or a module of it) left
  // for `category` to the host; true when none of them is an error.
  bool scanSolverMessages(const String& category, const StringStringMap& analysisProps,
                          String& message);

 protected:
  // PortalImpl's own versions, for derived overrides that build on them.
  bool updateEngineInputs(const StringStringMap& analysisProps, const HostValues* values,
                          String& message);
  int readTagDataThroughEngines(const String& tagFilePath, const StringStringMap& analysisProps,
                                TagList& tags, StringStringMap& outData, bool isInput,
                                String& message);
  bool writeTagDataThroughEngine(const String& fileName, TagList& tags,
                                 const StringStringMap& analysisProps, StringStringMap& outData,
                                 bool isInput, String& message);

 private:
  void dumpStringTableWhenAsked();
  bool processOutputs(const StringStringMap& analysisProps, HostResponses* responses,
                      String& message);

  MarkTagging mark_;
  XmlTagging xml_;
  ScriptTagging script_;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
