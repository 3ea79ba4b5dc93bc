#include "tagging/tagging_impl.h"

namespace ORLIX {
namespace Portals {

TaggingImpl::~TaggingImpl() = default;

void TaggingImpl::notify(const String&, const StringStringMap&) {}

void TaggingImpl::writeDocumentAttributes(pugi::xml_document&, const StringStringMap&) {}

}  // namespace Portals
}  // namespace ORLIX
