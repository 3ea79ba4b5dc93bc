// brisolPortal: the portal that couples the host to the Brisol solver: set-up
// events, parameter discovery in decks and their update per design, and the
// internal finish check on the solver log.
#ifndef ORLIX_BRISOL_BRISOL_PORTAL_H
#define ORLIX_BRISOL_BRISOL_PORTAL_H

#include <cstdint>
#include <optional>
#include <string_view>

#include "xmlportal/xml_portal.h"

namespace ORLIX {
namespace Portals {
class DeckTagIndex;
}  // namespace Portals
}  // namespace ORLIX

class brisolPortal : public xmlPortal {
 public:
  explicit brisolPortal(ORLIX::IPortalHost* host);
  ~brisolPortal() override;

  // IPortal
  bool parseInputFile(const String& inputPath, const StringStringMap& analysisProps,
                      PortalItemList& items, String& error) override;
  bool parseOutputFile(const String& outputPath, const StringStringMap& analysisProps,
                       PortalItemList& items, String& error) override;
  bool resolveResponse(const PortalItem& item, const StringList& keyPath, int mode,
                       ORLIX::ResponseRequestList& requests) override;
  bool updateInputFiles(const StringStringMap& analysisProps, const ORLIX::HostValues* values,
                        String& error) override;
  bool handleEvent(const String& event, const StringStringMap& eventData,
                   StringStringMap& reply) override;
  void resetRunState() override;

  // PortalImpl
  bool extractResponses(const String& outputPath, const StringStringMap& analysisProps,
                        TagList& tags, String& error) override;
  bool checkFinish(const StringStringMap& analysisProps, bool& finished, String& error) override;

  // Sets `cachePath` to the result list to read; true when the results module
  // must run to (re)make it.
  virtual bool needsCatalogueParse(const String& outputPath, String& cachePath,
                                   const StringStringMap& analysisProps, bool isInput,
                                   String& error);

  // Has the host run the results module on `resultsPath` with a request file and
  // an answers file in the results' folder; true when the host says it worked.
  bool runTallex(const String& resultsPath, const String& requestFileName,
                 const String& answersFileName, const StringStringMap& analysisProps,
                 String& error);
  // The results module's program: the solver's launcher from the analysis'
  // install properties.
  String solverCommand(const String& analysisName) const;

  // The solver modules of an analysis ("modules:" line of its portal data), and
  // the last of them, which names the files of the final module.
  String moduleList(const String& analysisName) const;
  String lastModule(const String& analysisName) const;

 private:
  bool discoverDeck(const String& deckPath, PortalItemList& items, String& error);
  bool listResponses(const String& outputPath, const StringStringMap& analysisProps,
                     PortalItemList& items, String& error);
  bool extractThroughTallex(const String& outputPath, const StringStringMap& analysisProps,
                            TagList& tags, String& error);
  // The deck update, by step. updateDeck is false when an error stops the
  // whole update; the tag index remembers the parameters whose command is not
  // yet found.
  bool updateDecks(const StringStringMap& analysisProps, String& error);
  bool updateDeck(const String& deckPath, const String& tagFile, const String& closingBlock,
                  const StringStringMap& analysisProps, String& error);
  TagList deckTags(const String& tagFile, const String& deckPath, String& error);
  bool writeUpdatedDeck(const String& deckPath, const String& tempPath,
                        const String& closingBlock, ORLIX::Portals::DeckTagIndex& tags, String& error);
  void replaceDeck(const String& tempPath, const String& deckPath, String& error) const;
  std::optional<String> updatedCommand(std::string_view command, int lineNumber,
                                       ORLIX::Portals::DeckTagIndex& tags, const String& deckPath,
                                       String& error);
  void handleFileAdded(const StringStringMap& eventData, StringStringMap& reply) const;
  void handlePropertyChange(const StringStringMap& eventData, StringStringMap& reply) const;
  StringList resultFilesOf(const String& databasePath, const String& analysisName) const;

  // The finish check's notes are issued once per run; these remember which.
  bool announcePending_ = true;
  bool logMissingReported_ = false;
  bool logFoundReported_ = false;
  std::int32_t lastReportedCount_ = 0;
};

#endif
