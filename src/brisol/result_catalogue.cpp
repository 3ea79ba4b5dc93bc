// The result catalogue: which responses a results file offers, from the results
// module's result list, cached beside the results file.
#include <algorithm>
#include <string_view>

#include "brisol/brisol_portal.h"
#include "brisol/result_list.h"
#include "portal/edge_guard.h"
#include "portal/host/support.h"
#include "portal/message_buffer.h"
#include "portal/regular_file.h"
#include "portal/text.h"

using ORLIX::PortalItemList;
using ORLIX::String;
using ORLIX::StringStringMap;
using ORLIX::Support::File;
using namespace ORLIX::Portals;

bool brisolPortal::needsCatalogueParse(const String& outputPath, String& cachePath,
                                       const StringStringMap& analysisProps, bool isInput,
                                       String& error) {
  if (!File::exists(outputPath)) {
    error = "Unable to open the parsing file: " + File::base(outputPath, true);
    return false;
  }
  const String override = parsedDataOverride(isInput);
  if (!override.empty()) {
    cachePath = override;
    return false;
  }
  cachePath = File::parentFolder(outputPath) + "/" + File::base(outputPath, true) + ".tallex.out";
  if (analysisProps["ForceReparse"] == "true") return true;
  const bool fresh = File::exists(cachePath) &&
                     File::modifiedTime(cachePath) >= File::modifiedTime(outputPath);
  return !fresh;
}

bool brisolPortal::parseOutputFile(const String& outputPath, const StringStringMap& analysisProps,
                                   PortalItemList& items, String& error) {
  return guarded(error, false, [&] { return listResponses(outputPath, analysisProps, items, error); });
}

bool brisolPortal::listResponses(const String& outputPath, const StringStringMap& analysisProps,
                                 PortalItemList& items, String& error) {
  if (!host()) return false;
  const String folder = File::parentFolder(outputPath);
  String cachePath;
  bool tallexRan = false;
  bool tallexWorked = true;
  if (needsCatalogueParse(outputPath, cachePath, analysisProps, false, error)) {
    const String stem = folder + "/" + File::base(outputPath, false) + "_" +
                        lastModule(analysisProps["analysisName"]);
    for (const char* extension : {".des", ".fac"}) {
      if (!ORLIX::Support::FileReader(stem + extension, false).is_open()) {
        appendError(error, "Unable to open %1. Tallex cannot be run to parse the output file.",
                    stem + extension);
        return false;
      }
    }
    {
      ORLIX::Support::FileWriter request(folder + "/tallex.in", false);
      request << "$$RESULT_LIST_AVAILABLE\n";
    }
    tallexRan = true;
    tallexWorked =
        runTallex(outputPath, "tallex.in", File::base(cachePath, true), analysisProps, error);
  }

  StringStringMap scanProps = analysisProps;
  scanProps.set("parseDir", folder);
  if (!scanSolverMessages("parse_output", scanProps, error)) {
    appendError(error,
                "Errors found while running the Tallex module of Brisol. Responses will not be "
                "extracted.");
    return false;
  }
  if (tallexRan && !tallexWorked) return false;

  // A list held whole is small next to the results it lists; reading it at
  // once keeps a pipe or a device named as the cache from holding the host.
  String cacheText;
  if (!readRegularFile(cachePath, cacheText)) {
    appendError(error, "Parsing of output file failed. Could not open %1 for reading.", cachePath);
    return false;
  }
  const std::string_view cache(cacheText);
  const std::size_t firstEnd = std::min(cache.find('\n'), cache.size());
  std::string_view first = cache.substr(0, firstEnd);
  if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
  if (first != "$$RESULT_LIST_AVAILABLE") {
    appendError(error,
                "Parsing of output file failed. Expecting first line to be "
                "\"$$RESULT_LIST_AVAILABLE\".");
    return false;
  }
  PortalItemList built;
  if (!buildResultItems(readResultList(cache.substr(std::min(firstEnd + 1, cache.size()))), built,
                        error)) {
    appendError(error,
                "Error while parsing output file: %1. Check the Tallex output file for errors: %2",
                outputPath, cachePath);
    return false;
  }
  for (auto& item : built) items.push_back(std::move(item));
  return true;
}
