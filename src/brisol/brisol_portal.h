// brisolPortal: the portal that couples the host to the Brisol solver: set-up
// events, parameter discovery in decks and their update per design, and the
// internal finish check on the solver log.
#ifndef ORLIX_BRISOL_BRISOL_PORTAL_H
#define ORLIX_BRISOL_BRISOL_PORTAL_H

#include <cstdint>

#include "xmlportal/xml_portal.h"

class brisolPortal : public xmlPortal {
 public:
  explicit brisolPortal(ORLIX::IPortalHost* host);
  ~brisolPortal() override;

  // IPortal
  bool parseInputFile(const String& inputPath, const StringStringMap& analysisProps,
                      PortalItemList& items, String& error) override;
  bool updateInputFiles(const StringStringMap& analysisProps, const ORLIX::HostValues* values,
                        String& error) override;
  bool handleEvent(const String& event, const StringStringMap& eventData,
                   StringStringMap& reply) override;
  void resetRunState() override;

  // PortalImpl
  bool checkFinish(const StringStringMap& analysisProps, bool& finished, String& error) override;

  // The solver modules of an analysis ("modules:" line of its portal data), and
  // the last of them, which names the files of the final module.
  String moduleList(const String& analysisName) const;
  String lastModule(const String& analysisName) const;

 private:
  bool discoverDeck(const String& deckPath, PortalItemList& items, String& error);
  bool updateDecks(const StringStringMap& analysisProps, String& error);
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
