#include "tagging/tagging_impl.h"

#include "portal/message_buffer.h"
#include "portal/properties.h"

namespace ORLIX {
namespace Portals {

TaggingImpl::~TaggingImpl() = default;

void TaggingImpl::notify(const String&, const StringStringMap&) {}

void TaggingImpl::writeDocumentAttributes(pugi::xml_document&, const StringStringMap&) {}

bool TaggingImpl::refuseRoutedTagFiles(const String& tagListKey,
                                       const StringStringMap& analysisProps,
                                       String& message) const {
  bool refused = false;
  for (const String& tagFile : splitList(analysisProps[tagListKey])) {
    if (tagFile.empty()) continue;
    appendError(message, "The %1 engine of this version cannot process the tag-definition file %2.",
                name(), tagFile);
    refused = true;
  }
  return !refused;
}

}  // namespace Portals
}  // namespace ORLIX
