// xmlPortal's IPortal operations: the portal's own tag files go first, every
// other mode or file goes on to PortalImpl and its engines.
#include "xmlportal/xml_portal.h"

#include "portal/edge_guard.h"

using ORLIX::Portals::guarded;

xmlPortal::xmlPortal(ORLIX::IPortalHost* host, const String& portalName)
    : PortalImpl(host), name_(portalName) {}

xmlPortal::~xmlPortal() = default;

xmlPortal::String xmlPortal::name() const { return name_; }

bool xmlPortal::resolveResponse(const PortalItem&, const StringList&, int,
                                ORLIX::ResponseRequestList&) {
  return false;
}

bool xmlPortal::writeInputTagData(const String& fileName, TagList& tags,
                                  const StringStringMap& analysisProps, StringStringMap& outData,
                                  String& message) {
  return guarded(message, false, [&] {
    if (analysisProps["mode"] == "portal") {
      return writeTagData(fileName, tags, analysisProps, outData, true, message);
    }
    return writeTagDataThroughEngine(fileName, tags, analysisProps, outData, true, message);
  });
}

bool xmlPortal::writeOutputTagData(const String& fileName, TagList& tags,
                                   const StringStringMap& analysisProps,
                                   StringStringMap& outData, String& message) {
  return guarded(message, false, [&] {
    if (analysisProps["mode"] == "portal") {
      return writeTagData(fileName, tags, analysisProps, outData, false, message);
    }
    return writeTagDataThroughEngine(fileName, tags, analysisProps, outData, false, message);
  });
}

int xmlPortal::readInputTagData(const String& tagFilePath, const StringStringMap& analysisProps,
                                TagList& tags, StringStringMap& outData, String& message) {
  return guarded(message, -1, [&] {
    const int result = readTagData(tagFilePath, analysisProps, tags, outData, true, message);
    if (result >= 0) return result;
    return readTagDataThroughEngines(tagFilePath, analysisProps, tags, outData, true, message);
  });
}

int xmlPortal::readOutputTagData(const String& tagFilePath,
                                 const StringStringMap& analysisProps, TagList& tags,
                                 StringStringMap& outData, String& message) {
  return guarded(message, -1, [&] {
    const int result = readTagData(tagFilePath, analysisProps, tags, outData, false, message);
    if (result >= 0) return result;
    return readTagDataThroughEngines(tagFilePath, analysisProps, tags, outData, false, message);
  });
}

bool xmlPortal::updateInputFiles(const StringStringMap& analysisProps,
                                 const ORLIX::HostValues* values, String& message) {
  return guarded(message, false, [&] {
    if (!updateEngineInputs(analysisProps, values, message)) return false;
    return updateXmlInputs(analysisProps, message);
  });
}

bool xmlPortal::reportsParsing() { return false; }

void xmlPortal::sendProgress(const String& text, int first, int second) {
  if (host()) host()->message(text, String(), first, second);
}
