// HelperBase: what the portal and each of its tagging engines share: the host
// and its "Portal" service (bound once, at construction), the cached log switch,
// direct messages to the host, response reporting, and the input tag cache.
#ifndef ORLIX_PORTAL_HELPER_BASE_H
#define ORLIX_PORTAL_HELPER_BASE_H

#include <functional>
#include <map>
#include <memory>

#include "portal/host/host_types.h"
#include "portal/host/portal.h"
#include "portal/host/portal_host.h"
#include "xmlportal/tag_data.h"

namespace ORLIX {
namespace Portals {

class HelperBase {
 public:
  enum class LogState { Undecided, EnvUnset, Off, On };

  // A tag-file reader with the shape of readInputTagData / readInputTagFile.
  using TagFileReader =
      std::function<int(const String& tagFilePath, const StringStringMap& analysisProps,
                        TagList& tags, StringStringMap& outData, String& message)>;

  explicit HelperBase(IPortalHost* host);
  virtual ~HelperBase();
  HelperBase(const HelperBase&) = delete;
  HelperBase& operator=(const HelperBase&) = delete;

  // Also the module name of this object's own messages and of its switches.
  virtual String name() const = 0;

  IPortalHost* host() const { return host_; }
  IPortalService* service() const { return service_; }

  // The string-table text of `id` raised by this object (module = name()).
  String lookupMessage(const String& id) const;

  // Sends `text` to the host with the analysis' name and design number; nothing
  // is sent without a host or for an empty text.
  void notifyHost(const String& text, const StringStringMap& analysisProps,
                  MessageLevel level = MessageLevel::Note) const;
  // notifyHost, but only while logging is on; returns whether it is.
  bool log(const String& text, const StringStringMap& analysisProps,
           MessageLevel level = MessageLevel::Note);
  LogState logState() const { return logState_; }

  // Delivers a response's values; a record without values becomes the error
  // "No values provided for response '<name>'".
  void reportResponseValues(const String& responseName, const StringStringMap& analysisProps,
                            const ResponseValues& values) const;
  void reportResponseError(const String& responseName, const StringStringMap& analysisProps,
                           const String& text) const;

  // Value of QZN_<NAME>_PARSE_INPUT / _OUTPUT: a user-chosen parsed-data file
  // that replaces the cache; empty when unset.
  String parsedDataOverride(bool isInput) const;

  // Reads an input tag file at most once per object, keyed by its base name:
  // later calls, even for another folder, get the first result. Returns whether
  // the tags are non-empty; nothing is cached when the read fails.
  bool cachedInputTags(IPortal& reader, const String& tagFilePath, const String& inputFilename,
                       TagList& tags);
  bool cachedInputTags(const TagFileReader& reader, const String& tagFilePath,
                       const String& inputFilename, TagList& tags);
  // The same cache, handing out the cached list itself instead of a copy (a
  // large model has hundreds of thousands of tags); null when the read fails.
  std::shared_ptr<const TagList> sharedInputTags(const TagFileReader& reader,
                                                 const String& tagFilePath,
                                                 const String& inputFilename);

 private:
  bool decideLogging();

  IPortalHost* host_;
  IPortalService* service_;
  LogState logState_ = LogState::Undecided;
  std::map<String, std::shared_ptr<const TagList>> inputTagCache_;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
