#include "brisol/tallex_answers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "portal/test_host.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::TempFolder;

class TallexAnswers : public ::testing::Test {
 protected:
  ResponseAnswer read(const String& answers, const String& entity, std::size_t block = 0) {
    path = dir.write("tallexResults.out", answers);
    EXPECT_TRUE(blocks.load(path));
    return readResponseAnswer(blocks, block, entity, "r1", path);
  }
  TempFolder dir;
  AnswerBlocks blocks;
  String path;
};

// One request answered for two nodes: N1 = 1 (the kinds line), N2 = 2 values.
const char* const kTwoNodes =
    "$$QUIET_GET_VALUE \"DISP\" \"TZ\" \"Node %d\" \" \" \" \"\r\n"
    "1\n"
    "Nodal displacements\n"
    "2\n"
    "'Element%Node'\n"
    "\n"
    "4 11\n"
    "4 12\n"
    "-0.25\n"
    "1.5e-3\n";

TEST_F(TallexAnswers, ValueModeReadsTheLinesAfterTheIdentifiers) {
  const ResponseAnswer answer = read(kTwoNodes, "");
  EXPECT_TRUE(answer.failures.empty());
  EXPECT_EQ(answer.values, (std::vector<double>{-0.25, 0.0015}));
  EXPECT_EQ(read(kTwoNodes, "Value").values.size(), 2u);
}

TEST_F(TallexAnswers, IdentifierModeReadsTheEntitysColumn) {
  EXPECT_EQ(read(kTwoNodes, "Node ID").values, (std::vector<double>{11, 12}));
  EXPECT_EQ(read(kTwoNodes, "Element ID").values, (std::vector<double>{4, 4}));
  const ResponseAnswer missing = read(kTwoNodes, "Ply ID");
  EXPECT_EQ(missing.failures,
            StringList{"Unable to extract Ply IDs. The available IDs are: \"Element%Node\"."});
  EXPECT_FALSE(missing.valuesRead);
}

TEST_F(TallexAnswers, BlocksSplitAtEachRequestEcho) {
  read(String(kTwoNodes) + "$$QUIET_GET_VALUE \"X\"\n%%%E Unknown result nature \"X\"\n", "");
  ASSERT_EQ(blocks.size(), 2u);
  const ResponseAnswer failed = readResponseAnswer(blocks, 1, "", "r2", path);
  EXPECT_EQ(failed.failures,
            StringList{"An error occurred while extracting the value for response r2. The "
                       "results keyword found in the Tallex output file " +
                       path +
                       " is as follows:\n$$QUIET_GET_VALUE \"X\"\n%%%E Unknown result nature "
                       "\"X\"\n"});
}

TEST_F(TallexAnswers, ShortBlocksAndShortLinesAreSaidInWords) {
  const ResponseAnswer truncated = read("$$QUIET_GET_VALUE a\n1\nd\n3\n'Node'\n7\n8\n", "");
  EXPECT_EQ(truncated.failures,
            StringList{"Expecting 11 lines in result keyword starting with: $$QUIET_GET_VALUE "
                       "a. Found 7."});
  const ResponseAnswer narrow =
      read("$$QUIET_GET_VALUE a\n1\nd\n2\n'Element%Node'\n4 11\n5\n0\n0\n", "Node");
  EXPECT_EQ(narrow.values, (std::vector<double>{11}));
  EXPECT_EQ(narrow.failures, StringList{"Expecting at least 2 entries in line. Found 1. (5)."});
  EXPECT_TRUE(narrow.valuesRead);
  EXPECT_EQ(read("$$QUIET_GET_VALUE a\n1\nd\n", "").failures.size(), 1u);
  // Counts that are not numbers, negative or absurd never read past the block.
  for (const char* counts : {"x\nd\ny", "1\nd\n-2", "1\nd\n1e300", "1e300\nd\n1"}) {
    const ResponseAnswer odd = read(String("$$QUIET_GET_VALUE a\n") + counts + "\n'Node'\n1\n", "");
    EXPECT_TRUE(odd.values.empty()) << counts;
  }
}

// Only a regular file is read: a folder or a pipe nobody writes to reads as a
// file that is not there, at once.
TEST_F(TallexAnswers, OnlyARegularFileLoads) {
  EXPECT_FALSE(blocks.load(dir.file("missing.out")));
  EXPECT_FALSE(blocks.load(dir.path()));
  const String pipe = dir.file("pipe.out");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_FALSE(blocks.load(pipe));
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
