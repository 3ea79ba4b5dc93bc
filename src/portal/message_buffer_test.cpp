#include "portal/message_buffer.h"

#include <gtest/gtest.h>

#include "support/host_api.h"

namespace ORLIX {
namespace Portals {
namespace {

TEST(AppendKind, PrefixesEachMessageAndSeparatesThemWithLineFeeds) {
  String buffer;
  appendError(buffer, "a");
  appendError(buffer, "b");
  EXPECT_EQ(buffer, "ERROR: a\nERROR: b");
}

TEST(AppendKind, NormalisesOtherKindsPrefixesInsideTheText) {
  String buffer;
  appendError(buffer, "WARNING: disk nearly full");
  EXPECT_EQ(buffer, "ERROR: disk nearly full");

  String quoted;
  appendError(quoted, "failed after NOTE: retry and WARNING: slow");
  EXPECT_EQ(quoted, "ERROR: failed after ERROR: retry and ERROR: slow");

  String note;
  appendNote(note, "NOTE: already prefixed");
  EXPECT_EQ(note, "NOTE: already prefixed");

  String warning;
  appendWarning(warning, "ERROR: demoted");
  EXPECT_EQ(warning, "WARNING: demoted");
}

TEST(AppendKind, SubstitutesTheArgumentsGiven) {
  String buffer;
  appendWarning(buffer, "column %1 of row %2 in %3", "4", "7", "deck.dat");
  appendNote(buffer, "[%1]", "");
  EXPECT_EQ(buffer, "WARNING: column 4 of row 7 in deck.dat\nNOTE: []");
}

TEST(AppendLine, KeepsTextAsItIs) {
  String buffer = "first";
  appendLine(buffer, "WARNING: stays a warning");
  appendFormatted(buffer, "%1 + %2", "a", "b");
  EXPECT_EQ(buffer, "first\nWARNING: stays a warning\na + b");
}

TEST(HasError, LooksForTheCapitalWordOrACaughtException) {
  EXPECT_TRUE(hasError("NOTE: an ERROR was seen"));
  EXPECT_TRUE(hasError("Exception caught: bad_alloc"));
  EXPECT_FALSE(hasError("NOTE: an error was seen"));
  EXPECT_FALSE(hasError("WARNING: exception caught"));
  EXPECT_FALSE(hasError(""));
}

TEST(LookupMessage, AsksTheStringTableUnderPortalPlusIdentifier) {
  Support::StringTableAdmin::set("Marking", ".Portal.err.testOnly", "Cannot open %1");
  String seenModule, seenKey;
  Support::StringTableAdmin::setLookupObserver(
      [&](const String& module, const String& key) {
        seenModule = module;
        seenKey = key;
      });
  EXPECT_EQ(lookupMessage("Marking", ".err.testOnly"), "Cannot open %1");
  Support::StringTableAdmin::setLookupObserver(nullptr);
  EXPECT_EQ(seenModule, "Marking");
  EXPECT_EQ(seenKey, ".Portal.err.testOnly");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
