// Solver-message scanning: the support library's tool-message parser says what a
// run left in its files; the portal forwards each message to the host at the
// level its kind asks for and decides from them whether the step succeeded.
#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/portal_impl.h"
#include "portal/properties.h"
#include "portal/text.h"

namespace ORLIX {
namespace Portals {
namespace {

struct MessageKind {
  const char* prefix;
  MessageLevel level;
  bool isError;
};

// Tested in this order against the upper-cased message.
const MessageKind kKinds[] = {{"ERROR:", MessageLevel::Error, true},
                              {"WARNING:", MessageLevel::Warning, false},
                              {"WARN:", MessageLevel::Warning, false},
                              {"OUTPUT:", MessageLevel::Output, false},
                              {"NOTE:", MessageLevel::Note, false}};

}  // namespace

bool PortalImpl::scanSolverMessages(const String& category, const StringStringMap& analysisProps,
                                    String& message) {
  const String analysisName = analysisProps["analysisName"];
  const int evalId = truncateToInt(toNumber(analysisProps["evalId"]));

  StringStringMap variables = analysisProps;
  const String primaryInput = primaryFile(analysisProps, true);
  const String primaryOutput = primaryFile(analysisProps, false);
  variables.set("primaryInputFile", primaryInput);
  variables.set("primaryOutputFile", primaryOutput);
  variables.set("primaryInputFilename", baseName(primaryInput, false));
  variables.set("primaryOutputFilename", baseName(primaryOutput, false));

  const StringList messages =
      Support::FileParser::getToolMessagesUsingConfigFile(name(), category, variables, message);

  // Unlike notifyHost, an empty message body is still passed on.
  auto send = [&](const String& text, MessageLevel level) {
    if (host()) host()->message(text, analysisName, evalId, static_cast<int>(level));
  };
  if (messages.size() == 1) {
    send(formatMessage(lookupMessage(".err.portalAppMessage1"), name()), MessageLevel::Note);
  } else if (messages.size() > 1) {
    send(formatMessage(lookupMessage(".err.portalAppMessageN"),
                       numberText(static_cast<double>(messages.size())), name()),
         MessageLevel::Note);
  }

  int errors = 0;
  for (const String& text : messages) {
    const String upper = toUpper(text);
    String body = text;
    MessageLevel level = MessageLevel::Note;
    for (const MessageKind& kind : kKinds) {
      if (!startsWith(upper, kind.prefix)) continue;
      body = text.substr(String(kind.prefix).size());
      if (startsWith(body, " ")) body.erase(0, 1);
      level = kind.level;
      if (kind.isError) ++errors;
      break;
    }
    send(body, level);
  }
  return errors == 0;
}

bool PortalImpl::checkSuccess(const StringStringMap& analysisProps, bool& success,
                              String& message) {
  success = scanSolverMessages("analysis_execution", analysisProps, message);
  return true;
}

}  // namespace Portals
}  // namespace ORLIX
