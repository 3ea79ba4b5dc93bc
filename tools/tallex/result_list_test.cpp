#include "result_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace tallex {
namespace {

std::vector<ListedResult> catalogueOf(const std::string& database) {
  LineReader lines(database);
  ResultCatalogue catalogue;
  std::string error;
  EXPECT_TRUE(readDatabase(lines, catalogue, error)) << error;
  return catalogue.results();
}

std::string listOf(const std::string& database) {
  AnswerOutput out;
  writeResultList(catalogueOf(database), "model.sdb", out);
  return out.text();
}

const std::string kDatabase =
    "$$TALLEX_RESULTS 1\n"
    "RESULT \"DISP\" \"Nodal displacements\"\n"
    "IDS Node\n"
    "COMPONENTS UX UZ\n"
    "SCALAR \"TZ\" \"Translation Z\" COMPONENT UZ\n"
    "SCALAR \"MAG\" \"Magnitude\" MAGNITUDE UX UZ\n"
    "SUPPORT \"Node %d\" \"Node\"\n"
    "SUPPORT \"NODES\" \"All nodes\"\n"
    "STEP TIME 0.5\n"
    "1 0 0\n"
    "STEP TIME 1\n"
    "END\n"
    "RESULT \"TEMP\" \"Temperature\"\n"
    "IDS Node\n"
    "COMPONENTS T\n"
    "SUPPORT \"NODES\" \"All nodes\"\n"
    "STEP\n"
    "1 20\n"
    "END\n"
    "RESULT \"STRS\" \"Stresses\"\n"
    "IDS Element Ply\n"
    "COMPONENTS SXX\n"
    "SUPPORT \"Element %d Ply %d\" \"Element and ply\"\n"
    "SELECTION \"TOP\" \"Layer [top]\"\n"
    "SELECTION \"BOT\" \"Layer [bottom]\"\n"
    "STEP \"LC1\" \"Load case 1\" SELECTION \"TOP\"\n"
    "STEP \"LC1\" \"Load case 1\" SELECTION \"BOT\"\n"
    "STEP \"LC2\" \"Load case 2\" SELECTION \"TOP\"\n"
    "END\n";

TEST(ResultList, ListsResultsScalarsSupportsAndTheirChoicesInBlocks) {
  EXPECT_EQ(
      "$$RESULT_LIST_AVAILABLE\n"
      "! 3 result(s) in model.sdb\n"
      ".MAIN\n"
      "\"DISP\" \"Nodal displacements\" \".TOSCALAR_001\" \".SUPPORT_001\"\n"
      "\"TEMP\" \"Temperature\" \"\" \".SUPPORT_002\"\n"
      "\"STRS\" \"Stresses\" \"\" \".SUPPORT_003\"\n"
      ".TOSCALAR_001\n"
      "\"TZ\" \"Translation Z\" \"\" \"\"\n"
      "\"MAG\" \"Magnitude\" \"\" \"\"\n"
      ".SUPPORT_001\n"
      "\"Node %d\" \"Node\" \"\" \".REFERENCES_001\"\n"
      "\"NODES\" \"All nodes\" \"\" \".REFERENCES_001\"\n"
      ".REFERENCES_001\n"
      "\"Time %g\" \"Time %g\" \"\" \"\"\n"
      "\"Time 0.5\" \"Time 0.5\" \"\" \"\"\n"
      "\"Time 1\" \"Time 1\" \"\" \"\"\n"
      ".SUPPORT_002\n"
      "\"NODES\" \"All nodes\" \"\" \"\"\n"
      ".SUPPORT_003\n"
      "\"Element %d Ply %d\" \"Element and ply\" \".SELECTION_001\" \".REFERENCES_002\"\n"
      ".SELECTION_001\n"
      "\"TOP\" \"Layer [top]\" \"\" \"\"\n"
      "\"BOT\" \"Layer [bottom]\" \"\" \"\"\n"
      ".REFERENCES_002\n"
      "\"LC1\" \"Load case 1\" \"\" \"\"\n"
      "\"LC2\" \"Load case 2\" \"\" \"\"\n",
      listOf(kDatabase));
}

TEST(ResultList, AnEmptyDatabaseGivesAnEmptyMainBlock) {
  EXPECT_EQ("$$RESULT_LIST_AVAILABLE\n! 0 result(s) in model.sdb\n.MAIN\n", listOf("$$TALLEX_RESULTS 1\n"));
}

// What the portal does with the list: blocks by header, fields at quotes,
// references to the first header that begins with them.
struct PortalView {
  std::vector<std::string> headers;
  std::vector<std::vector<std::vector<std::string>>> blocks;  // data lines, as fields

  explicit PortalView(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ("$$RESULT_LIST_AVAILABLE", line);
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '!') continue;
      if (line[0] == '.') {
        headers.push_back(line);
        blocks.emplace_back();
        continue;
      }
      std::vector<std::string> pieces;
      std::size_t start = 0;
      for (std::size_t quote; (quote = line.find('"', start)) != std::string::npos; start = quote + 1)
        pieces.push_back(line.substr(start, quote - start));
      pieces.push_back(line.substr(start));
      EXPECT_GE(pieces.size(), 8u) << line;
      blocks.back().push_back({pieces[1], pieces[3], pieces[5], pieces[7]});
    }
  }
  std::size_t find(const std::string& reference) const {
    for (std::size_t i = 0; i < headers.size(); ++i)
      if (headers[i] != ".MAIN" && headers[i].compare(0, reference.size(), reference) == 0) return i;
    return headers.size();
  }
};

TEST(ResultList, EveryReferenceFindsItsOwnBlockAmongThousandsOfResults) {
  std::string database = "$$TALLEX_RESULTS 1\n";
  constexpr int kResults = 1200;
  for (int i = 1; i <= kResults; ++i) {
    const std::string n = std::to_string(i);
    database += "RESULT \"R" + n + "\" \"Result " + n + "\"\nIDS Node\nCOMPONENTS A B\n";
    database += "SCALAR \"A" + n + "\" \"A of " + n + "\" COMPONENT A\n";
    database += "SCALAR \"B\" \"B\" COMPONENT B\n";
    database += "SUPPORT \"Node %d\" \"Node\"\nSTEP TIME " + n + "\nEND\n";
  }
  const PortalView view(listOf(database));
  ASSERT_EQ(".MAIN", view.headers[0]);
  const auto& main = view.blocks[0];
  ASSERT_EQ(static_cast<std::size_t>(kResults), main.size());
  EXPECT_EQ(".TOSCALAR_0001", main[0][2]);
  for (int i = 0; i < kResults; ++i) {
    const std::string n = std::to_string(i + 1);
    const std::size_t scalars = view.find(main[i][2]);
    ASSERT_LT(scalars, view.headers.size()) << main[i][2];
    EXPECT_EQ("A" + n, view.blocks[scalars][0][0]);
    const std::size_t supports = view.find(main[i][3]);
    ASSERT_LT(supports, view.headers.size());
    const std::size_t references = view.find(view.blocks[supports][0][3]);
    ASSERT_LT(references, view.headers.size());
    EXPECT_EQ("Time " + n, view.blocks[references][1][0]);
  }
  // Sorted, a header that begins another would stand right before one it begins.
  std::vector<std::string> sorted = view.headers;
  std::sort(sorted.begin(), sorted.end());
  for (std::size_t i = 1; i < sorted.size(); ++i)
    ASSERT_NE(0u, sorted[i].rfind(sorted[i - 1], 0)) << sorted[i - 1] << " begins " << sorted[i];
}

}  // namespace
}  // namespace tallex
