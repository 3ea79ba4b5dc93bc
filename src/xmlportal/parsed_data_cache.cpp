// The parsed-data cache: a derived portal that keeps a parsed copy of a large
// data file asks here whether that copy is still good.
#include "portal/host/support.h"
#include "portal/text.h"
#include "xmlportal/wide_path.h"
#include "xmlportal/xml_portal.h"

using ORLIX::String;
using ORLIX::StringList;
using ORLIX::StringStringMap;
using ORLIX::Support::File;

// Decisions the framework leaves open:
// - A missing data file answers false (nothing to parse) with the reason in
//   `message`; the caller must look at `message` before using the cache path.
// - Without a host folder for the cache (no host, or the host refuses), the
//   cache sits beside the data file.
// - A cache that loads but was made for another data file or another version
//   of the analysis is not trusted: the answer is true (parse again).
bool xmlPortal::loadParsedData(const String& dataFile, String& parsedDataFile,
                               const StringStringMap& analysisProps, bool isInput,
                               String& message, bool checkCache) {
  if (!File::exists(dataFile)) {
    message = "Unable to open the parsing file: " + File::base(dataFile, true);
    return false;
  }
  const String override = parsedDataOverride(isInput);
  if (!override.empty()) {
    parsedDataFile = override;
    return false;
  }

  String folder;
  if (host()) {
    StringStringMap options;
    options.set("sub", name() + "/" + File::base(dataFile, false) + "_" + File::extension(dataFile));
    if (!host()->runCommand(String(), StringList(), folder, options)) folder.clear();
  }
  if (folder.empty()) folder = File::parentFolder(dataFile);
  parsedDataFile = folder + "/" + File::base(dataFile, true) + ".parsedData.xml";

  if (analysisProps["ForceReparse"] == "true" || !File::exists(parsedDataFile) ||
      File::modifiedTime(dataFile) > File::modifiedTime(parsedDataFile)) {
    return true;
  }
  if (!checkCache) return false;

  pugi::xml_document cache;
  std::wstring widePath;
  String pathError;
  if (!ORLIX::Portals::toWidePath(parsedDataFile, widePath, pathError)) {
    message = pathError;
    return true;
  }
  const pugi::xml_parse_result parsed = cache.load_file(widePath.c_str());
  if (!parsed) {
    message = parsed.description();
    return true;
  }
  const pugi::xml_node root = cache.document_element();
  auto slashes = [](const String& path) { return ORLIX::Portals::replaceAll(path, "\\", "/"); };
  const bool sameVersion = String(root.attribute("version").value()) == analysisProps["version"];
  const bool sameFile = slashes(root.attribute("filepath").value()) == slashes(dataFile);
  return !(sameVersion && sameFile);
}
