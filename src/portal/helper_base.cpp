#include "portal/helper_base.h"

#include <cstdlib>
#include <utility>

#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/properties.h"
#include "portal/text.h"

namespace ORLIX {
namespace Portals {
namespace {

String environment(const String& variable) {
  const char* value = std::getenv(variable.c_str());
  return value ? String(value) : String();
}

StringStringMap responseContext(const StringStringMap& analysisProps) {
  StringStringMap context;
  for (const char* key : {"analysisName", "evalId", "caseIndex"}) {
    context.set(key, analysisProps[key]);
  }
  return context;
}

}  // namespace

HelperBase::HelperBase(IPortalHost* host) : host_(host), service_(nullptr) {
  if (!host_) return;
  IExtension* extension = host_->extension("Portal");
  if (extension && extension->type() == "Portal") {
    // The host hands its service out as an extension; its type says what it is.
    service_ = static_cast<IPortalService*>(extension);
  }
}

HelperBase::~HelperBase() = default;

String HelperBase::lookupMessage(const String& id) const {
  return Portals::lookupMessage(name(), id);
}

void HelperBase::notifyHost(const String& text, const StringStringMap& analysisProps,
                            MessageLevel level) const {
  if (!host_ || text.empty()) return;
  host_->message(text, analysisProps["analysisName"],
                 truncateToInt(toNumber(analysisProps["evalId"])), static_cast<int>(level));
}

bool HelperBase::decideLogging() {
  if (logState_ == LogState::Undecided || logState_ == LogState::EnvUnset) {
    if (host_ && isTrue(host_->setting("verbose", "false"))) {
      logState_ = LogState::On;
      return true;
    }
  }
  if (logState_ == LogState::Undecided) {
    String value = environment("QZN_" + toUpper(name()) + "_LOG");
    if (value.empty()) value = environment("QZN_PORTAL_LOG");
    if (value.empty()) {
      // Environment variables are read once; the host setting may still change.
      logState_ = LogState::EnvUnset;
    } else {
      logState_ = isTrue(value) ? LogState::On : LogState::Off;
    }
  }
  return logState_ == LogState::On;
}

bool HelperBase::log(const String& text, const StringStringMap& analysisProps,
                     MessageLevel level) {
  if (!decideLogging()) return false;
  notifyHost(text, analysisProps, level);
  return true;
}

void HelperBase::reportResponseValues(const String& responseName,
                                      const StringStringMap& analysisProps,
                                      const ResponseValues& values) const {
  if (values.empty()) {
    reportResponseError(responseName, analysisProps,
                        formatMessage("No values provided for response '%1'", responseName));
    return;
  }
  if (!service_) return;
  service_->reportResponse(responseName, responseContext(analysisProps), values);
}

void HelperBase::reportResponseError(const String& responseName,
                                     const StringStringMap& analysisProps,
                                     const String& text) const {
  if (!service_) return;
  StringStringMap context = responseContext(analysisProps);
  context.set("errorInCall", "true");
  context.set("message", text);
  service_->reportResponse(responseName, context, ResponseValues());
}

String HelperBase::parsedDataOverride(bool isInput) const {
  return environment(toUpper("QZN_" + name() + "_PARSE_" + (isInput ? "INPUT" : "OUTPUT")));
}

bool HelperBase::cachedInputTags(IPortal& reader, const String& tagFilePath,
                                 const String& inputFilename, TagList& tags) {
  return cachedInputTags(
      [&reader](const String& path, const StringStringMap& props, TagList& list,
                StringStringMap& outData, String& message) {
        return reader.readInputTagData(path, props, list, outData, message);
      },
      tagFilePath, inputFilename, tags);
}

bool HelperBase::cachedInputTags(const TagFileReader& reader, const String& tagFilePath,
                                 const String& inputFilename, TagList& tags) {
  const std::shared_ptr<const TagList> shared = sharedInputTags(reader, tagFilePath, inputFilename);
  if (!shared) return false;
  tags = *shared;
  return !tags.empty();
}

std::shared_ptr<const TagList> HelperBase::sharedInputTags(const TagFileReader& reader,
                                                           const String& tagFilePath,
                                                           const String& inputFilename) {
  const String key = Support::File::base(tagFilePath, true);
  const auto cached = inputTagCache_.find(key);
  if (cached != inputTagCache_.end()) return cached->second;
  StringStringMap props;
  props.set("inputFilename", inputFilename);
  StringStringMap outData;
  String message;
  TagList tags;
  if (reader(tagFilePath, props, tags, outData, message) != 0) return nullptr;
  auto shared = std::make_shared<const TagList>(std::move(tags));
  inputTagCache_[key] = shared;
  return shared;
}

}  // namespace Portals
}  // namespace ORLIX
