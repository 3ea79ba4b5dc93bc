// Tag-file routing and the tagging-mode dispatch of PortalImpl's tag-file
// operations. An unreadable or unrecognised tag file is dropped from the routing,
// never reported as an error: the only trace is a log line.
#include "portal/tag_routing.h"

#include "portal/chunked_lines.h"
#include "portal/edge_guard.h"
#include "portal/portal_impl.h"
#include "portal/text.h"

namespace ORLIX {
namespace Portals {

void readFirstTwoLines(const String& path, String& line1, String& line2) {
  // A window of a page: only the file's start is wanted, and the window
  // widens for a longer line.
  ChunkedLineReader file(path, 4096);
  std::string_view line;
  if (!file.next(line)) return;
  line1.assign(line.data(), line.size());
  if (file.next(line)) line2.assign(line.data(), line.size());
}

TagFileKind tagFileKindByName(const String& baseName, bool isInput) {
  const String direction = isInput ? "in_" : "out_";
  const std::pair<const char*, TagFileKind> prefixes[] = {{"M_", TagFileKind::Mark},
                                                          {"X_", TagFileKind::Xml},
                                                          {"S_", TagFileKind::Script},
                                                          {"P_", TagFileKind::Portal}};
  for (const auto& prefix : prefixes) {
    if (startsWith(baseName, prefix.first + direction)) return prefix.second;
  }
  return TagFileKind::Unknown;
}

bool tagFileContentMatches(TagFileKind kind, const String& line1, const String& line2) {
  switch (kind) {
    case TagFileKind::Mark:
      return startsWith(line2, "marking");
    case TagFileKind::Xml:
      return contains(line1, "xml") || contains(line2, "TagDefinition");
    case TagFileKind::Script:
      return startsWith(line2, "scripting");
    case TagFileKind::Portal:
      return startsWith(line2, "portal") || (contains(line2, "Portal") && contains(line1, "xml"));
    case TagFileKind::Unknown:
      break;
  }
  return false;
}

String filteredOutText(TagFileKind kind) {
  switch (kind) {
    case TagFileKind::Mark:
      return "Marking module is filtering out tag definition file due to unrecognized contents: \n";
    case TagFileKind::Xml:
      return "Xml module is filtering out tag definition file due to unrecognized contents: \n";
    case TagFileKind::Script:
      return "Scripting module is filtering out tag definition file due to unrecognized "
             "contents: \n";
    case TagFileKind::Portal:
      return "Portal is filtering out tag definition file due to unrecognized contents: \n";
    case TagFileKind::Unknown:
      break;
  }
  return "The following tag definition file is being ignored: \n";
}

void PortalImpl::routeTagFiles(const StringList& files, const StringList& tagFiles,
                               StringList& markTags, StringList& xmlTags, StringList& scriptTags,
                               StringList& portalTags, bool isInput) {
  markTags = xmlTags = scriptTags = portalTags = tagFiles;
  StringList* lists[] = {&markTags, &xmlTags, &scriptTags, &portalTags};
  const StringStringMap noContext;

  for (std::size_t i = 0; i < files.size() && i < tagFiles.size(); ++i) {
    const String& tagFile = tagFiles[i];
    if (tagFile.empty()) continue;
    String line1, line2;
    readFirstTwoLines(tagFile, line1, line2);
    const TagFileKind kind = tagFileKindByName(baseName(tagFile, true), isInput);
    const bool keep = tagFileContentMatches(kind, line1, line2);
    for (int k = 0; k < 4; ++k) {
      if (static_cast<int>(kind) != k || !keep) (*lists[k])[i].clear();
    }
    if (!keep) log(filteredOutText(kind) + tagFile, noContext, MessageLevel::Note);
  }
}

void PortalImpl::keepPortalTagFiles(const StringList& files, StringList& tagFiles,
                                    bool isInput) {
  StringList markTags, xmlTags, scriptTags, portalTags;
  routeTagFiles(files, tagFiles, markTags, xmlTags, scriptTags, portalTags, isInput);
  tagFiles = portalTags;
}

bool PortalImpl::writeTagDataThroughEngine(const String& fileName, TagList& tags,
                                           const StringStringMap& analysisProps,
                                           StringStringMap& outData, bool isInput,
                                           String& message) {
  const String& mode = analysisProps["mode"];
  TaggingImpl* engine = nullptr;
  if (mode == "fixed" || mode == "free") {
    engine = &mark_;
  } else if (mode == "xml") {
    engine = &xml_;
  } else if (mode == "script") {
    engine = &script_;
  }
  if (!engine) return false;
  return isInput ? engine->writeInputTagFile(fileName, tags, analysisProps, outData, message)
                 : engine->writeOutputTagFile(fileName, tags, analysisProps, outData, message);
}

int PortalImpl::readTagDataThroughEngines(const String& tagFilePath,
                                          const StringStringMap& analysisProps, TagList& tags,
                                          StringStringMap& outData, bool isInput,
                                          String& message) {
  int result = -1;
  for (TaggingImpl* engine : {static_cast<TaggingImpl*>(&mark_),
                              static_cast<TaggingImpl*>(&xml_),
                              static_cast<TaggingImpl*>(&script_)}) {
    result = isInput
                 ? engine->readInputTagFile(tagFilePath, analysisProps, tags, outData, message)
                 : engine->readOutputTagFile(tagFilePath, analysisProps, tags, outData, message);
    if (result >= 0) return result;
  }
  return result;
}

bool PortalImpl::writeInputTagData(const String& fileName, TagList& tags,
                                   const StringStringMap& analysisProps,
                                   StringStringMap& outData, String& message) {
  return guarded(message, false, [&] {
    return writeTagDataThroughEngine(fileName, tags, analysisProps, outData, true, message);
  });
}

bool PortalImpl::writeOutputTagData(const String& fileName, TagList& tags,
                                    const StringStringMap& analysisProps,
                                    StringStringMap& outData, String& message) {
  return guarded(message, false, [&] {
    return writeTagDataThroughEngine(fileName, tags, analysisProps, outData, false, message);
  });
}

int PortalImpl::readInputTagData(const String& tagFilePath, const StringStringMap& analysisProps,
                                 TagList& tags, StringStringMap& outData, String& message) {
  return guarded(message, -1, [&] {
    return readTagDataThroughEngines(tagFilePath, analysisProps, tags, outData, true, message);
  });
}

int PortalImpl::readOutputTagData(const String& tagFilePath,
                                  const StringStringMap& analysisProps, TagList& tags,
                                  StringStringMap& outData, String& message) {
  return guarded(message, -1, [&] {
    return readTagDataThroughEngines(tagFilePath, analysisProps, tags, outData, false, message);
  });
}

}  // namespace Portals
}  // namespace ORLIX
