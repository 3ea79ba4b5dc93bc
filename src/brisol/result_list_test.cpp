#include "brisol/result_list.h"

#include <gtest/gtest.h>


namespace ORLIX {
namespace Portals {
namespace {

ResultList listOf(const String& text) { return readResultList(text); }

String describe(const PortalItem& item) {
  String text = item.name + "[" + item.typeLabel + "|" + std::to_string(item.flags) + "]";
  for (const auto& e : item.entries) text += " " + e.key + "=" + e.value;
  if (!item.children.empty()) {
    text += " (";
    for (std::size_t i = 0; i < item.children.size(); ++i) {
      text += (i ? "; " : "") + describe(item.children[i]);
    }
    text += ")";
  }
  return text;
}

const char* const kList =
    "! produced by the results module\n"
    ".INFO\n\"x\" \"y\" \"\" \"\"\n"
    ".MAIN results\n"
    "\"DISP\" \"Nodal displacements\" \".TOSCALAR_01\" \".SUPPORT_01\"\n"
    "\"MASS\" \"Element Mass\" \"\" \".SUPPORT_02\"\n"
    ".TOSCALAR_01\n\"TZ\" \"Translation Z\" \"\" \"\"\n\"MAG\" \"Magnitude\" \"\" \"\"\n"
    ".SUPPORT_01\n"
    "\"Distance to %d %d\" \"Distance\" \"\" \"\"\n"
    "\"Node %d\" \"Node\" \".SELECTION_01\" \".REFERENCES_01\"\n"
    ".SUPPORT_02\n\"Element %d\" \"Element\" \"\" \"\"\n"
    ".SELECTION_01\n\"L2\" \"Layer [2]\" \"\" \"\"\n"
    ".REFERENCES_01\n\"T\" \"Time %g\" \"\" \"\"\n";

TEST(ResultList, BuildsResultsWithTransformationsSupportsAndChoices) {
  PortalItemList items;
  String error;
  ASSERT_TRUE(buildResultItems(listOf(kList), items, error)) << error;
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(describe(items[0]),
            "Nodal displacements[Transformation|0] ("
            "Translation Z[Location|32] (Portal Data[|256] transformation=TZ); "
            "Magnitude[Location|32] (Portal Data[|256] transformation=MAG); "
            "Node[|12304] (#$Selection[|260] Layer (2)=L2; #$Reference[|260] Time %g=T; "
            "Portal Data[|256] location=Node %d firstLocation=); "
            "Portal Data[|256] nature=DISP)");
  EXPECT_EQ(describe(items[1]),
            "Element Mass[Location|0] (Element[|12288] (Portal Data[|256] location=Element %d "
            "firstLocation=Element %d); Portal Data[|256] nature=MASS)");
}

TEST(ResultList, TheLastMainBlockCountsAndTheEndOfFileClosesABlock) {
  const ResultList list = listOf(".MAIN a\n\"A\" \"a\" \"\" \"\"\n.MAIN b\n\"B\" \"b\" \"\" \".SUPPORT\"\n"
                                 ".SUPPORT\n\"Node %d\" \"Node\" \"\" \"\"");
  EXPECT_EQ(list.main.header, ".MAIN b");
  ASSERT_NE(list.find(".SUPPORT"), nullptr);
  EXPECT_EQ(list.find(".SUPPORT")->lines.size(), 1u);
}

TEST(ResultList, EachMalformedListFailsWithItsOwnError) {
  auto error = [](const String& text) {
    PortalItemList items;
    String message;
    EXPECT_FALSE(buildResultItems(listOf(text), items, message));
    return message;
  };
  EXPECT_EQ(error(".INFO\n"),
            "ERROR: The Tallex output file has an unrecognized format. The '.MAIN' keyword is "
            "empty.");
  EXPECT_EQ(error(".MAIN\n\"A\" \"a\"\n"),
            "ERROR: The following line does not contain enough entries:\n\t\"A\" \"a\"");
  EXPECT_EQ(error(".MAIN m\n\"A\" \"a\" \".TOSCALAR_9\" \"\"\n"),
            "ERROR: Could not find definition of \".TOSCALAR_9\" while processing \".MAIN m\".");
  EXPECT_EQ(error(".MAIN\n\"A\" \"a\" \"\" \".SUPPORT_1\"\n.SUPPORT_1\n"
                  "\"Node %d\" \"Node\" \".SELECTION_1\" \"\"\n"),
            "ERROR: Could not find definition of \".SELECTION_1\" while processing "
            "\".SUPPORT_1\".");
}

TEST(ResultFields, TakesEveryOtherPieceBetweenQuotes) {
  String fields[4];
  ASSERT_TRUE(resultFields("  \"a b\" \" c \" \"\" \"d\" trailing", fields));
  EXPECT_EQ(fields[0], "a b");
  EXPECT_EQ(fields[1], "c");
  EXPECT_EQ(fields[2], "");
  EXPECT_EQ(fields[3], "d");
  EXPECT_FALSE(resultFields("\"a\" \"b\" \"c\"", fields));
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
