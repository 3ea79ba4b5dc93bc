// ScriptTagging: the engine of the "script" mode. Each tag holds a script of
// the line-oriented script language; for every design the input scripts of a
// file write the parameter values into it, and the output scripts of a file
// read response values out of it.
#ifndef ORLIX_TAGGING_SCRIPT_SCRIPT_TAGGING_H
#define ORLIX_TAGGING_SCRIPT_SCRIPT_TAGGING_H

#include "portal/host/support.h"
#include "tagging/script/script_state.h"
#include "tagging/tagging_impl.h"

namespace ORLIX {
namespace Portals {

class ScriptTagging : public TaggingImpl {
 public:
  explicit ScriptTagging(IPortalHost* host) : TaggingImpl(host) {}
  ~ScriptTagging() override;

  String name() const override { return "Scripting"; }
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
  // A tag's script travels in a generic XML tag file as one CDATA section.
  void writeTagAttributes(pugi::xml_node& tagElement, const TagData& tag) override;
  void readTagAttributes(const pugi::xml_node& tagElement, TagData& tag) override;

 private:
  // Runs the scripts of one input file and replaces the file through
  // "<file>.temp"; false when the whole operation must stop.
  bool scriptInputFile(const String& inputPath, const String& tagFilePath, String& message);
  // Runs the scripts of one output file and reports what they extracted;
  // false when the file cannot be read.
  bool scriptOutputFile(const String& outputPath, const String& tagFilePath,
                        const StringStringMap& analysisProps, String& message);
  // The script's lines and its parameters or responses, ready to run.
  ScriptState prepareState(const TagData& tag, const String& tagFilePath, bool isInput,
                           const StringStringMap& analysisProps, String& message);
  bool writeScriptedFile(const String& inputPath, Support::FileBufferedReader& reader,
                         const ModifiedLines& modifiedLines, String& message);
  // The file's rows as the scripts left them into `tempPath`; false when not
  // every byte reached it.
  static bool writeRows(const String& tempPath, Support::FileBufferedReader& reader,
                        const ModifiedLines& modifiedLines);
  void replaceByScripted(const String& inputPath, String& message);
  void reportResults(const StringStringMap& analysisProps);
  // With the host setting "scriptverbose", the trace of one file's scripts
  // goes beside its tag file.
  void openTrace(const String& tagFilePath);
  void closeTrace(String* message);

  ScriptResults results_;
  Support::FileWriter scriptTrace_;
  String tracePath_;
};

}  // namespace Portals
}  // namespace ORLIX

#endif
