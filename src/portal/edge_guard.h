// No exception may cross an IPortal operation: the host would go down with it.
// Each operation runs its body through guarded(), which turns an escaped
// exception into an "Exception caught: ..." line of the operation's message
// buffer (an error by hasError) and a failed result.
#ifndef ORLIX_PORTAL_EDGE_GUARD_H
#define ORLIX_PORTAL_EDGE_GUARD_H

#include <exception>
#include <utility>

#include "portal/host/host_types.h"
#include "portal/message_buffer.h"

namespace ORLIX {
namespace Portals {

template <typename Result, typename Body>
Result guarded(String& message, Result onException, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (const std::exception& e) {
    try {
      appendLine(message, String("Exception caught: ") + e.what());
    } catch (...) {  // out of memory while reporting: the result still says it
    }
  } catch (...) {
    try {
      appendLine(message, "Exception caught: unknown exception");
    } catch (...) {
    }
  }
  return onException;
}

// For the operations without a message buffer.
template <typename Result, typename Body>
Result guarded(Result onException, Body&& body) noexcept {
  String ignored;
  return guarded(ignored, onException, std::forward<Body>(body));
}

}  // namespace Portals
}  // namespace ORLIX

#endif
