#include "tagging/tag_file_output.h"

#include <exception>

#include "portal/host/support.h"

namespace ORLIX {
namespace Portals {

String engineTagFileName(char engineLetter, const String& fileName,
                         const StringStringMap& analysisProps, bool isInput) {
  return String(1, engineLetter) + (isInput ? "_in_" : "_out_") + analysisProps["analysisName"] +
         "_" + fileName;
}

String tagFileOpening(const String& fileType, const String& version, const String& fileName) {
  return "$ File type, version\n" + fileType + ", " + version + "\n$ Tag definition file: " +
         fileName + "\n";
}

void recordTagFile(StringStringMap& outData, const String& fileName, bool isInput,
                   const String& tagFileName) {
  outData.set(fileName + (isInput ? "_intagfile" : "_outtagfile"), tagFileName);
}

// The host's FileWriter reports neither a target it could not open nor a
// failed write by an exception; both leave the stream failed.
bool writeWholeFile(const String& path, const String& content) {
  try {
    Support::FileWriter writer(path, false);
    if (!writer.is_open()) return false;
    writer.write(content.data(), static_cast<std::streamsize>(content.size()));
    writer.close();
    return !writer.fail();
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace Portals
}  // namespace ORLIX
