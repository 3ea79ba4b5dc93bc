#include <gtest/gtest.h>

#include "brisol/brisol_portal.h"
#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::TempFolder;
using testing::TestHost;

// "name{key=value,...}" of every parameter, group by group.
std::vector<String> describe(const PortalItemList& groups) {
  std::vector<String> lines;
  for (const PortalItem& group : groups) {
    lines.push_back("[" + group.name + "|" + group.typeLabel + "]");
    for (const PortalItem& p : group.children) {
      String text = p.name + "{";
      for (std::size_t i = 0; i < p.entries.size(); ++i) {
        text += (i ? "," : "") + p.entries[i].key + "=" + p.entries[i].value;
      }
      lines.push_back(text + "}" + (p.flags == 512 ? "" : " flags!"));
    }
  }
  return lines;
}

class DeckDiscovery : public ::testing::Test {
 protected:
  std::vector<String> discover(const String& deck) {
    PortalItemList items;
    EXPECT_TRUE(portal.parseInputFile(dir.write("deck.dat", deck), {}, items, error));
    return describe(items);
  }
  TempFolder dir;
  TestHost host;
  brisolPortal portal{&host};
  String error;
};

TEST_F(DeckDiscovery, GroupsFollowTheFamilyOrderWhateverTheDeckOrder) {
  EXPECT_EQ(discover("ABREBOS /xB/ /3/\n"
                     "abremdis /xD/ /4/ ! discrete one\n"
                     " ABRE /xSKIPPED/ /1/\n"
                     "ABRE /xA/ /1.5/ ! first\n"
                     "ABREMCON /xC/ /2/\n"
                     "ABREX /xX/ /9/\n"),
            (std::vector<String>{"[ABRE|Parameter]", "A{value=1.5,description=first}",
                                 "[ABREM[...]|Parameter]",
                                 "D{value=4,description=discrete one,type=discrete}",
                                 "C{value=2,description=,type=Continuous}",
                                 "[ABREBOS|Parameter]", "B{value=3,description=}"}));
  EXPECT_EQ(error, "");
}

TEST_F(DeckDiscovery, BoundsReachMatchingNonDiscreteParameters) {
  EXPECT_EQ(discover("ABRE /xT1/ /1/\nABRE /xTHICK/ /2/\nABRE /xXT/ /3/\n"
                     "ABREMDIS /xT2/ /4/\nABREM /xT3/ /5/\n"
                     "ABRE /xbounds_T*/ /1 5/\nABRE /xBOUNDS_XT/ /0 9/\n"),
            (std::vector<String>{"[ABRE|Parameter]", "T1{value=1,description=,min=1,max=5}",
                                 "THICK{value=2,description=,min=1,max=5}",
                                 "XT{value=3,description=,min=0,max=9}",
                                 "[ABREM[...]|Parameter]",
                                 "T2{value=4,description=,type=discrete}",
                                 "T3{value=5,description=,min=1,max=5}"}));
}

TEST_F(DeckDiscovery, ChoicesReplaceTheValueOfDiscreteParametersByItsPosition) {
  EXPECT_EQ(discover("ABREMDIS /xD1/ /4.0/\nABREMDIS /xD2/ /4/\nABRE /xD3/ /4.0/\n"
                     "ABRE /xchoices_D?/ /2.0 4.0 8.0/\n"),
            (std::vector<String>{"[ABRE|Parameter]", "D3{value=4.0,description=}",
                                 "[ABREM[...]|Parameter]",
                                 "D1{value=2,description=,type=discrete,choices=2.0,4.0,8.0}",
                                 "D2{value=0,description=,type=discrete,choices=2.0,4.0,8.0}"}));
}

TEST_F(DeckDiscovery, MalformedLinesAreSkippedWithTheirWarning) {
  EXPECT_EQ(discover("ABRE /xGOOD/ /1/\nABRE /x/ /1/\nABRE /xbounds_GOOD/ /3/\n"),
            (std::vector<String>{"[ABRE|Parameter]", "GOOD{value=1,description=}"}));
  EXPECT_EQ(error,
            "WARNING: Unable to parse ABRE command on line 2. The string that defines the "
            "'/name' parameter should have at least 4 characters. Found 3 characters in /x/.\n"
            "WARNING: Unable to process the line that defines bounds: bounds_GOOD. Expecting "
            "the value to contain two numbers delimited by a space.");
}

TEST_F(DeckDiscovery, ADeckWithoutCommandsHasNoGroupsAndAMissingOneFails) {
  EXPECT_TRUE(discover("mesh 1 2 3\n").empty());
  PortalItemList items;
  EXPECT_FALSE(portal.parseInputFile(dir.file("none.dat"), {}, items, error));
  EXPECT_EQ(error, "ERROR: Parsing of input file failed. Unable to open " + dir.file("none.dat"));
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
