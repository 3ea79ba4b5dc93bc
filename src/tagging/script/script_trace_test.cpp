#include "tagging/script/script_trace.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ORLIX {
namespace Portals {
namespace {

const String kStars = "***************************************************************";

String bannerFor(const String& names) {
  std::ostringstream out;
  ScriptTrace(&out).banner(names, "first row");
  return out.str();
}

// The third line of a banner: the one with the names.
String namesLine(const String& names) {
  std::istringstream in(bannerFor(names));
  String line;
  for (int i = 0; i < 3; ++i) std::getline(in, line);
  return line;
}

TEST(ScriptTraceBanner, FramesTheNamesAndShowsTheFirstRow) {
  EXPECT_EQ(bannerFor("x1, x2"),
            kStars + "\n" + "**            Executing script for parameter(s):             **\n" +
                "**" + String(26, ' ') + "x1, x2" + String(26, ' ') + "**\n" + kStars + "\n" +
                "******* Read line number 1 (after opening the file) as: *******\n"
                "          first row\n");
}

TEST(ScriptTraceBanner, CentresNamesUpTo57CharactersAndIndentsLongerOnes) {
  EXPECT_EQ(namesLine(String(57, 'n')), "** " + String(57, 'n') + " **");
  EXPECT_EQ(namesLine(String(58, 'n')), "**    " + String(58, 'n'));
  EXPECT_EQ(namesLine(String(80, 'n')), "**    " + String(80, 'n'));
  // (59 - 4) / 2 blanks on each side: the frame is not always even.
  EXPECT_EQ(namesLine("abcd"), "**" + String(27, ' ') + "abcd" + String(27, ' ') + "**");
  EXPECT_EQ(namesLine(""), "**" + String(29, ' ') + String(29, ' ') + "**");
}

TEST(ScriptTraceCommand, ShowsWhereItStartedAndEndedInLineNumbersFrom1) {
  std::ostringstream out;
  ScriptTrace trace(&out);
  trace.commandStart("MOVE_DOWN(2)", 7, 0, "row one");
  trace.commandEnd(2, "row three");
  trace.modifiedLine("row three changed");
  EXPECT_EQ(out.str(),
            "******* Executing -> MOVE_DOWN(2) *******\n"
            "        From script line # = 7\n"
            "        Initial line # = 1\n"
            "        Initial line read as:\n"
            "          row one\n"
            "        Final line # = 3\n"
            "        Final line read as:\n"
            "          row three\n"
            "        Modified line:\n"
            "          row three changed\n");
}

TEST(ScriptTraceCommand, PrintsLargeLineNumbersAsPercentGDoes) {
  std::ostringstream out;
  ScriptTrace(&out).commandEnd(1234566, "r");
  EXPECT_EQ(out.str(),
            "        Final line # = 1.23457e+06\n        Final line read as:\n          r\n");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
