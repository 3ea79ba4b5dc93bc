#include "tagging/xml/xml_tagging.h"

#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/properties.h"
#include "portal/text.h"
#include "tagging/xml/xml_file.h"
#include "tagging/xml/xml_tag_file.h"

namespace ORLIX {
namespace Portals {
namespace {

// Loads an analysis file and readies the resolver over it. With every tag's
// paths announced, a look-up table over a wide list holds only the values the
// tags ask for. The resolver's first walk over the document bounds its depth
// in place of the loader's walk, so a wide list is walked once, not twice.
bool loadAnalysisFile(const String& path, unsigned int parseOptions, const TagList& tags,
                      pugi::xml_document& document, XmlFileFormat& format,
                      PathResolver& resolver, String& failure) {
  if (!loadXmlFile(path, parseOptions, document, format, failure, DepthCheck::byCaller)) {
    return false;
  }
  for (const TagData& tag : tags) {
    resolver.expect(splitPath(tag.get("xpath")));
    resolver.expect(splitPath(tag.get("xid")));
  }
  if (!resolver.prepare(document, kMaxXmlDepth)) {
    document.reset();
    failure = nestedTooDeepText();
    return false;
  }
  return true;
}

}  // namespace

XmlTagging::~XmlTagging() = default;

bool XmlTagging::writeInputTagFile(const String& baseName, TagList& tags,
                                   const StringStringMap& analysisProps,
                                   StringStringMap& outData, String& message) {
  return writeXmlTagFile(*this, baseName, tags, analysisProps, outData, true, message);
}

bool XmlTagging::writeOutputTagFile(const String& baseName, TagList& tags,
                                    const StringStringMap& analysisProps,
                                    StringStringMap& outData, String& message) {
  return writeXmlTagFile(*this, baseName, tags, analysisProps, outData, false, message);
}

int XmlTagging::readInputTagFile(const String& tagFilePath, const StringStringMap&,
                                 TagList& tags, StringStringMap&, String& message) {
  return readTagFile(tagFilePath, tags, message);
}

int XmlTagging::readOutputTagFile(const String& tagFilePath, const StringStringMap&,
                                  TagList& tags, StringStringMap&, String& message) {
  return readTagFile(tagFilePath, tags, message);
}

// The portal asks every engine in turn with one message buffer, and a file
// that does not load is the XML engine's to explain whatever its name: the
// portal's own layer hands on a P_ file that does not load, and the engines'
// readers say in turn what they made of it, so the buffer shows their order.
int XmlTagging::readTagFile(const String& tagFilePath, TagList& tags, String& message) {
  String failure;
  const int result = readXmlTagFile(*this, tagFilePath, tags, failure);
  if (!failure.empty()) {
    message = failure;
    appendLine(message, formatMessage(lookupMessage(".err.readTagDefnFile"), tagFilePath));
  }
  return result;
}

void XmlTagging::writeTagAttributes(pugi::xml_node& tagElement, const TagData& tag) {
  for (const char* key : {"xpath", "xid"}) {
    tagElement.append_attribute(key).set_value(tag.get(key).c_str());
  }
}

void XmlTagging::readTagAttributes(const pugi::xml_node& tagElement, TagData& tag) {
  for (const char* key : {"xpath", "xid"}) tag.add(key, tagElement.attribute(key).value());
}

// The portal routed this tag file here because its first lines look like ours;
// one that still does not read would leave its file's tags undone without a
// word, so it is an error, in both directions.
void XmlTagging::reportUnreadableTagFile(const String& tagFilePath, const String& readerMessage,
                                         String& message) const {
  if (readerMessage.empty()) {
    appendError(message, lookupMessage(".err.readTagDefnFile"), tagFilePath);
    return;
  }
  // The reader's explanation already ends with the ".err.readTagDefnFile" line.
  for (const String& line : splitAt(readerMessage, '\n')) appendError(message, line);
}

bool XmlTagging::processInputTags(const StringStringMap& analysisProps, const HostValues*,
                                  String& message) {
  if (!service()) return true;
  const StringList files = splitList(analysisProps["inputFilepaths"]);
  StringList tagFiles = splitList(analysisProps["inputTagFilepaths"]);
  padList(tagFiles, files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (tagFiles[i].empty()) continue;
    // The cache hides the reader's answer; the reader itself tells it.
    bool readFailed = false;
    String readerMessage;
    const TagFileReader reader = [&](const String& path, const StringStringMap& props,
                                     TagList& tags, StringStringMap& outData,
                                     String& readMessage) {
      const int result = readInputTagFile(path, props, tags, outData, readMessage);
      readFailed = result != 0;
      readerMessage = readMessage;
      return result;
    };
    TagList tags;
    if (cachedInputTags(reader, tagFiles[i], Support::File::base(files[i], true), tags)) {
      processInputFile(files[i], tags, analysisProps, message);
    } else if (readFailed) {
      reportUnreadableTagFile(tagFiles[i], readerMessage, message);
    }
  }
  return !hasError(message);
}

bool XmlTagging::processOutputTags(const StringStringMap& analysisProps, HostResponses*,
                                   String& message) {
  const StringList files = splitList(analysisProps["outputFilepaths"]);
  StringList tagFiles = splitList(analysisProps["outputTagFilepaths"]);
  padList(tagFiles, files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (tagFiles[i].empty()) continue;
    StringStringMap fileProps;
    fileProps.set("outputFilename", Support::File::base(files[i], true));
    TagList tags;
    StringStringMap outData;
    String readerMessage;
    if (readOutputTagFile(tagFiles[i], fileProps, tags, outData, readerMessage) != 0) {
      reportUnreadableTagFile(tagFiles[i], readerMessage, message);
      continue;
    }
    processOutputFile(files[i], tags, analysisProps, message);
  }
  return !hasError(message);
}

bool XmlTagging::locate(PathResolver& resolver, pugi::xml_node document, const TagData& tag,
                        const ElementPath& xpath, const ElementPath& xid, XmlTarget& target,
                        String& message) const {
  if (xpath.empty() || xid.empty()) {
    appendError(message, lookupMessage(".err.noXmlPath"), tag.paramName);
    return false;
  }
  const XmlTarget element = resolver.resolve(document, xpath);
  if (!element.found()) {
    appendError(message, lookupMessage(".err.noXmlElement"), tag.paramName, joinPath(xpath));
    return false;
  }
  target = resolver.resolve(element.node, xid);
  if (!target.found()) {
    appendError(message, lookupMessage(".err.noXmlNode"), tag.paramName, joinPath(xpath),
                joinPath(xid));
    return false;
  }
  return true;
}

bool XmlTagging::processInputFile(const String& inputPath, TagList& tags,
                                  const StringStringMap&, String& message) {
  // Without the host's service there are no values, and writing empty ones
  // would wipe the file's.
  if (!service()) return !hasError(message);
  pugi::xml_document document;
  XmlFileFormat format;
  PathResolver resolver;
  String failure;
  // The full parse keeps the declaration, comments, processing instructions
  // and DOCTYPE, so the saved file differs from the original only in its
  // values and its indentation.
  if (!loadAnalysisFile(inputPath, pugi::parse_full, tags, document, format, resolver,
                        failure)) {
    appendError(message, failure);
    appendError(message, lookupMessage(".err.readInputFile"), inputPath);
    // Saving what was parsed of a broken file would destroy it: the file stays
    // as it is and none of its tags is asked for a value.
    return false;
  }

  for (const TagData& tag : tags) {
    const String value = service()->parameterValue(tag.paramType, tag.paramName, inputPath,
                                                   tag.get("format"), message);
    const ElementPath xpath = splitPath(tag.get("xpath"));
    const ElementPath xid = splitPath(tag.get("xid"));
    XmlTarget target;
    if (!locate(resolver, document, tag, xpath, xid, target, message)) continue;
    if (!writeTargetValue(target, value)) {
      appendError(message, lookupMessage(".err.writeXmlNodeValue"), tag.paramName,
                  joinPath(xpath), joinPath(xid));
      continue;
    }
    resolver.valueWritten(target);
  }

  // Saved even when tags failed: the values that were written belong to this
  // design, and the failures are in `message`.
  if (!saveXmlFile(document, inputPath, format)) {
    appendError(message, lookupMessage(".err.writeModInputFile"), inputPath);
  }
  return !hasError(message);
}

bool XmlTagging::processOutputFile(const String& outputPath, TagList& tags,
                                   const StringStringMap& analysisProps, String& message) {
  pugi::xml_document document;
  XmlFileFormat format;
  PathResolver resolver;
  String failure;
  if (!loadAnalysisFile(outputPath, pugi::parse_default, tags, document, format, resolver,
                        failure)) {
    appendError(message, failure);
    appendError(message, lookupMessage(".err.readOutputFile"), outputPath);
    return false;
  }

  for (const TagData& tag : tags) {
    const ElementPath xpath = splitPath(tag.get("xpath"));
    const ElementPath xid = splitPath(tag.get("xid"));
    XmlTarget target;
    if (!locate(resolver, document, tag, xpath, xid, target, message)) continue;
    String value;
    if (!readTargetValue(target, value)) {
      appendError(message, lookupMessage(".err.readXmlNodeValue"), tag.paramName,
                  joinPath(xpath), joinPath(xid));
      continue;
    }
    reportValue(tag.paramName, value, analysisProps);
  }
  return !hasError(message);
}

void XmlTagging::reportValue(const String& responseName, const String& value,
                             const StringStringMap& analysisProps) const {
  StringStringMap typeInfo;
  if (service()) {
    service()->analysisProperty(analysisProps["analysisName"],
                                "responseDataType#" + responseName, typeInfo);
  }
  ResponseValues values;
  if (typeInfo["responseDataType"] == "Numeric") {
    double number = 0.0;
    if (!readsAsNumber(value, number)) {
      reportResponseError(responseName, analysisProps,
                          formatMessage(lookupMessage(".err.responseNotANumber"), responseName,
                                        value));
      return;
    }
    values.numbers.push_back(number);
  } else {
    values.texts.push_back(value);
  }
  reportResponseValues(responseName, analysisProps, values);
}

}  // namespace Portals
}  // namespace ORLIX
