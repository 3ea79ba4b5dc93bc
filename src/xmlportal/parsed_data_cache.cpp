// The parsed-data cache: a derived portal that keeps a parsed copy of a large
// data file asks here whether that copy is still good.
#include "portal/host/support.h"
#include "portal/text.h"
#include "tagging/xml/xml_file.h"
#include "xmlportal/xml_portal.h"

using ORLIX::String;
using ORLIX::StringList;
using ORLIX::StringStringMap;
using ORLIX::Portals::isRegularFile;
using ORLIX::Support::File;

// Decisions the framework leaves open:
// - A missing data file answers false (nothing to parse) with the reason in
//   `message`; the caller must look at `message` before using the cache path.
//   A folder or a device in the place of the data file or of the cache counts
//   as missing, as the parser would take it for a file of absurd size.
// - Without a host folder for the cache (no host, or the host refuses), the
//   cache sits beside the data file.
// - A cache that loads but was made for another data file or another version
//   of the analysis is not trusted: the answer is true (parse again).
bool xmlPortal::loadParsedData(const String& dataFile, String& parsedDataFile,
                               const StringStringMap& analysisProps, bool isInput,
                               String& message, bool checkCache) {
  if (!isRegularFile(dataFile)) {
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

  if (analysisProps["ForceReparse"] == "true" || !isRegularFile(parsedDataFile) ||
      File::modifiedTime(dataFile) > File::modifiedTime(parsedDataFile)) {
    return true;
  }
  if (!checkCache) return false;

  pugi::xml_document cache;
  if (!ORLIX::Portals::loadXmlFile(parsedDataFile, pugi::parse_default, cache, message)) {
    return true;
  }
  const pugi::xml_node root = cache.document_element();
  auto slashes = [](const String& path) { return ORLIX::Portals::replaceAll(path, "\\", "/"); };
  const bool sameVersion = String(root.attribute("version").value()) == analysisProps["version"];
  const bool sameFile = slashes(root.attribute("filepath").value()) == slashes(dataFile);
  return !(sameVersion && sameFile);
}
