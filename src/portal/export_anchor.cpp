// The shared library's own translation unit. Everything it exports comes from
// the portal code linked in whole; the version script keeps all but
// portalFactory local.
#include "portal/host/portal.h"

namespace {
[[maybe_unused]] const ORLIX::PortalFactoryFunction kExported = &portalFactory;
}
