// MarkTagging: the engine of the "free" and "fixed" modes. A tag names one
// field of one line of a text file: the n-th delimited token, or the n-th
// fixed-width column. For each design it writes parameter values into the
// tagged input files and reads response values out of the tagged output files.
#ifndef ORLIX_TAGGING_MARK_MARK_TAGGING_H
#define ORLIX_TAGGING_MARK_MARK_TAGGING_H

#include "tagging/tagging_impl.h"

namespace ORLIX {
namespace Portals {

class MarkTagging : public TaggingImpl {
 public:
  explicit MarkTagging(IPortalHost* host) : TaggingImpl(host) {}
  ~MarkTagging() override;

  String name() const override { return "Marking"; }
  bool writeInputTagFile(const String& baseName, TagList& tags,
                         const StringStringMap& analysisProps, StringStringMap& outData,
                         String& message) override;
  bool writeOutputTagFile(const String& baseName, TagList& tags,
                          const StringStringMap& analysisProps, StringStringMap& outData,
                          String& message) override;
  int readInputTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                       TagList& tags, StringStringMap& outData, String& message) override;
  int readOutputTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                        TagList& tags, StringStringMap& outData, String& message) override;
  // Parameter values come from the host service, not from `values`.
  bool processInputTags(const StringStringMap& analysisProps, const HostValues* values,
                        String& message) override;
  // Response values go to the host service, not into `responses`.
  bool processOutputTags(const StringStringMap& analysisProps, HostResponses* responses,
                         String& message) override;
  void writeDocumentAttributes(pugi::xml_document& document,
                               const StringStringMap& analysisProps) override;
  void writeTagAttributes(pugi::xml_node& tagElement, const TagData& tag) override;
  void readTagAttributes(const pugi::xml_node& tagElement, TagData& tag) override;

 private:
  // Marks one input file through F.temp; false when the whole operation must
  // stop (F is then untouched).
  bool markInputFile(const String& inputPath, const TagRowRefs& rows, String& message);
  // One tagged line as taken out of F (`ended`: it had a line feed), made
  // ready to write with its line end; false when a replacement failed.
  bool markTakenLine(String& line, bool ended, int lineNumber, const TagRowRange& rowTags,
                     const String& inputPath, String& message);
  // The values of one line's tags written into it, last to first; `written`
  // tells whether any tag wrote. False when a replacement failed.
  bool markLine(String& line, int lineNumber, const TagRowRange& rowTags,
                const String& inputPath, bool& written, String& message);
  // Replaces F by F.temp, keeping the file stages when asked to.
  void replaceByMarked(const String& inputPath, String& message);
  // Reads one output file's tagged values and reports each to the host; false
  // when the file cannot be opened.
  bool extractOutputFile(const String& outputPath, const String& tagFilePath,
                         const StringStringMap& analysisProps, String& message);
  void reportToken(const TagData& tag, const String& token, const StringStringMap& analysisProps);
};

}  // namespace Portals
}  // namespace ORLIX

#endif
