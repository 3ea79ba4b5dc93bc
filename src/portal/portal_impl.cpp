#include "portal/portal_impl.h"

#include <cstdlib>

#include "portal/edge_guard.h"
#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/properties.h"

namespace ORLIX {
namespace Portals {

PortalImpl::PortalImpl(IPortalHost* host)
    : HelperBase(host), mark_(host), xml_(host), script_(host) {
  dumpStringTableWhenAsked();
}

PortalImpl::~PortalImpl() = default;

void PortalImpl::dumpStringTableWhenAsked() {
  if (!std::getenv("OQA_TESTING_ALL_PORTAL_MESSAGES")) return;
  const StringStringMap none;
  notifyHost("##### START OF ALL STRING TABLE MESSAGES #####\n", none, MessageLevel::Note);
  notifyHost("\n", none, MessageLevel::Note);
  notifyHost(Support::StringTable::dumpStringTableIdsAndMessages(), none, MessageLevel::Note);
  notifyHost("##### END OF ALL STRING TABLE MESSAGES #####\n", none, MessageLevel::Note);
}

String PortalImpl::type() const { return "Portal"; }

IProperties& PortalImpl::properties() { return emptyProperties(); }

void* PortalImpl::getInterface(int id) {
  return id == kPortalInterfaceId ? static_cast<void*>(static_cast<IPortal*>(this)) : nullptr;
}

bool PortalImpl::updateInputFiles(const StringStringMap& analysisProps, const HostValues* values,
                                  String& message) {
  return guarded(message, false,
                 [&] { return updateEngineInputs(analysisProps, values, message); });
}

bool PortalImpl::updateEngineInputs(const StringStringMap& analysisProps,
                                    const HostValues* values, String& message) {
  const StringList files = splitList(analysisProps["inputFilepaths"]);
  StringList tagFiles = splitList(analysisProps["inputTagFilepaths"]);
  padList(tagFiles, files.size());
  StringList markTags, xmlTags, scriptTags, portalTags;
  routeTagFiles(files, tagFiles, markTags, xmlTags, scriptTags, portalTags, true);

  StringStringMap engineProps = analysisProps;
  engineProps.set("inputFilepaths", joinList(files));
  engineProps.set("inputTagFilepaths", joinList(markTags));
  if (!mark_.processInputTags(engineProps, values, message)) return false;
  engineProps.set("inputTagFilepaths", joinList(xmlTags));
  if (!xml_.processInputTags(engineProps, values, message)) return false;
  engineProps.set("inputTagFilepaths", joinList(scriptTags));
  return script_.processInputTags(engineProps, values, message);
}

bool PortalImpl::processOutputFiles(const StringStringMap& analysisProps,
                                    HostResponses* responses, String& message) {
  return guarded(message, false, [&] { return processOutputs(analysisProps, responses, message); });
}

bool PortalImpl::processOutputs(const StringStringMap& analysisProps, HostResponses* responses,
                                String& message) {
  const String analysisName = analysisProps["analysisName"];
  const String destDir = analysisProps["destDir"];
  const String version = analysisProps["version"];
  const StringList files = splitList(analysisProps["outputFilepaths"]);
  StringList tagFiles = splitList(analysisProps["outputTagFilepaths"]);
  padList(tagFiles, files.size());
  StringList markTags, xmlTags, scriptTags, portalTags;
  routeTagFiles(files, tagFiles, markTags, xmlTags, scriptTags, portalTags, false);

  StringList baseNames;
  for (const String& file : files) baseNames.push_back(baseName(file, true));

  StringStringMap engineProps = analysisProps;
  engineProps.set("outputFilepaths", joinList(files));
  engineProps.set("outputTagFilepaths", joinList(markTags));
  if (!mark_.processOutputTags(engineProps, responses, message)) return false;
  engineProps.set("outputTagFilepaths", joinList(xmlTags));
  if (!xml_.processOutputTags(engineProps, responses, message)) return false;
  engineProps.set("outputTagFilepaths", joinList(scriptTags));
  if (!script_.processOutputTags(engineProps, responses, message)) return false;

  for (std::size_t i = 0; i < files.size() && i < portalTags.size(); ++i) {
    if (portalTags[i].empty()) continue;
    StringStringMap fileProps;
    fileProps.set("analysisName", analysisName);
    fileProps.set("destDir", destDir);
    fileProps.set("version", version);
    fileProps.set("filepath", files[i]);
    fileProps.set("solverName", name());
    fileProps.set("outputFilename", baseNames[i]);
    fileProps.set("outputFilenames", joinList(baseNames));
    TagList tags;
    StringStringMap outData;
    readOutputTagData(portalTags[i], fileProps, tags, outData, message);
    if (!extractResponses(files[i], analysisProps, tags, message)) {
      appendError(message, "Error getting data from output file:\n%1", files[i]);
    }
  }
  return !hasError(message);
}

bool PortalImpl::check(const String& kind, const StringStringMap& analysisProps, bool& result,
                       String& message) {
  return guarded(message, false, [&] {
    if (kind == "checkSuccess") return checkSuccess(analysisProps, result, message);
    if (kind == "checkFinish") return checkFinish(analysisProps, result, message);
    return false;
  });
}

void PortalImpl::notifyEngines(const String& event, const StringStringMap& data) {
  guarded(false, [&] {
    mark_.notify(event, data);
    xml_.notify(event, data);
    script_.notify(event, data);
    return true;
  });
}

bool PortalImpl::extractResponses(const String&, const StringStringMap&, TagList&, String&) {
  return false;
}

bool PortalImpl::checkFinish(const StringStringMap&, bool&, String&) { return false; }

String PortalImpl::baseName(const String& path, bool withExtension) const {
  return Support::File::base(path, withExtension);
}

String PortalImpl::extensionOf(const String& path) const { return Support::File::extension(path); }

bool PortalImpl::exists(const String& path) const { return Support::File::exists(path); }

String PortalImpl::parentFolder(const String& path) const {
  return Support::File::parentFolder(path);
}

StringList PortalImpl::portalDataLines(const String& analysisName) const {
  if (!service()) return StringList();
  StringStringMap portalData;
  service()->analysisProperty(analysisName, "analysisPortalData", portalData);
  return splitList(portalData["Lines"]);
}

String PortalImpl::primaryFile(const StringStringMap& analysisProps, bool isInput) const {
  return settingLineValue(portalDataLines(analysisProps["analysisName"]),
                          isInput ? "primaryInput" : "primaryOutput");
}

String PortalImpl::installLocation(const String& analysisName, bool preferLocal) const {
  if (!service()) return String();
  String found;
  if (preferLocal) {
    StringStringMap local;
    service()->analysisProperty(analysisName, "AnalysisProperty#installLocal", local);
    found = local["installLocal"];
  }
  if (found.empty()) {
    StringStringMap install;
    service()->analysisProperty(analysisName, "AnalysisProperty#install", install);
    found = install["install"];
  }
  return found;
}

}  // namespace Portals
}  // namespace ORLIX
