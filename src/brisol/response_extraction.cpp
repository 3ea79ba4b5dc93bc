// Response extraction through the results module: one "$$QUIET_GET_VALUE"
// request per tagged response, one run for all of them, and each response's
// values read from its answer block.
#include "brisol/brisol_portal.h"
#include "brisol/tallex_answers.h"
#include "portal/edge_guard.h"
#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/message_format.h"
#include "portal/properties.h"
#include "portal/text.h"

using ORLIX::MessageLevel;
using ORLIX::String;
using ORLIX::StringStringMap;
using ORLIX::Portals::TagData;
using ORLIX::Portals::TagList;
using ORLIX::Support::File;
using namespace ORLIX::Portals;

namespace {

String orBlank(const String& text) { return text.empty() ? String(" ") : text; }

// The value of the attribute that the attribute `pointer` names.
String indirect(const TagData& tag, const String& pointer) {
  const String& key = tag.get(pointer);
  return key.empty() ? String() : tag.get(key);
}

String requestLine(const TagData& tag) {
  String location = tag.get("location");
  location = replaceAll(location, "Element %d", "Element " + tag.get("element"));
  location = replaceAll(location, "Node %d", "Node " + tag.get("node"));
  location = replaceAll(location, "Ply %d", "Ply " + tag.get("ply"));
  const String reference =
      replaceAll(indirect(tag, "Reference"), "Time %g", "Time " + tag.get("time"));
  return "$$QUIET_GET_VALUE \"" + tag.get("nature") + "\" \"" + orBlank(tag.get("transformation")) +
         "\" \"" + location + "\" \"" + orBlank(indirect(tag, "Selection")) + "\" \"" +
         orBlank(reference) + "\"\n";
}

}  // namespace

bool brisolPortal::extractResponses(const String& outputPath, const StringStringMap& analysisProps,
                                    TagList& tags, String& error) {
  return guarded(error, false,
                 [&] { return extractThroughTallex(outputPath, analysisProps, tags, error); });
}

bool brisolPortal::extractThroughTallex(const String& outputPath,
                                        const StringStringMap& analysisProps, TagList& tags,
                                        String& error) {
  const String folder = File::parentFolder(outputPath);
  {
    ORLIX::Support::FileWriter requests(folder + "/getTallexResults.in", false);
    for (const TagData& tag : tags) requests << requestLine(tag);
  }
  const bool tallexWorked =
      runTallex(outputPath, "getTallexResults.in", "tallexResults.out", analysisProps, error);

  StringStringMap scanProps = analysisProps;
  if (isTrue(analysisProps["evaluateResponsesOnly"])) scanProps.set("destDir", folder);
  if (!scanSolverMessages("response_extraction", scanProps, error)) {
    appendError(error, "Errors found while running Tallex. Responses will not be extracted.");
    return false;
  }
  if (!tallexWorked) return false;

  const String answersPath = folder + "/tallexResults.out";
  AnswerBlocks blocks;
  if (!blocks.load(answersPath)) {
    appendError(error, "Unable to open the results file from Tallex: %1", answersPath);
    return false;
  }
  notifyHost(formatMessage("Tallex execution messages can be found in the following file:\n%1",
                           answersPath),
             analysisProps, MessageLevel::Output);
  if (blocks.size() > 0) {
    const auto first = blocks.block(0);
    if (!first.empty() && contains(String(first[0]), "%%%")) {
      appendError(error, "An error occurred while running Tallex to extract response values: %1",
                  String(first[0]));
      return !hasError(error);
    }
  }

  std::size_t index = 0;
  for (const TagData& tag : tags) {
    const String& name = tag.paramName;
    if (index >= blocks.size()) {
      reportResponseError(name, analysisProps,
                          "An error occurred while extracting the value for response " + name +
                              ". There are not enough keywords in the output file " +
                              answersPath + ".");
      ++index;
      continue;
    }
    const ResponseAnswer answer =
        readResponseAnswer(blocks, index, tag.get("Entity"), name, answersPath);
    for (const String& failure : answer.failures) reportResponseError(name, analysisProps, failure);
    if (answer.valuesRead) {
      ORLIX::ResponseValues values;
      values.numbers = answer.values;
      reportResponseValues(name, analysisProps, values);
    }
    ++index;
  }
  return !hasError(error);
}
