#include "tagging/script/script_interpreter.h"

#include <gtest/gtest.h>

#include "tagging/script/script_test_run.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::ScriptRun;

const char* const kRows = "h\n1\n2\n3\n4\n";

TEST(Script, OfCommentsAndEmptyLinesOnlySucceedsAndChangesNothing) {
  ScriptRun run("a\n", true);
  EXPECT_TRUE(run.run("$ a comment\n\n$GET_VALUE_FREE(\n"));
  EXPECT_EQ(run.messages, "");
  EXPECT_TRUE(run.modified.empty());
}

TEST(Script, StopsAtTheFirstFailingLine) {
  ScriptRun run(kRows);
  EXPECT_FALSE(run.run("MOVE_DOWN(1)\nMOVE_DOWN(9)\nMOVE_DOWN(1)"));
  EXPECT_EQ(run.row(), 2);
  EXPECT_EQ(run.messageLines().front(), "ERROR: Could not execute script line 2: MOVE_DOWN(9)");
}

TEST(Script, ReportsTheKeywordsItDoesNotRunAndGoesOnOnlyAfterCloseFile) {
  ScriptRun run(kRows);
  EXPECT_TRUE(run.run("SET_PARAMETER_LIST(%names%)\nCLOSE_FILE\nMOVE_DOWN(2)"));
  EXPECT_EQ(run.row(), 3);
  EXPECT_FALSE(run.run("GOTO_TOP\nFIND(x)"));
  EXPECT_FALSE(run.run("OPEN_FILE(x)"));
  EXPECT_FALSE(run.run("\nEND\nGOTO_TOP"));
  EXPECT_FALSE(run.run("$\nEND_LOOP"));
  EXPECT_EQ(run.messageLines(),
            (StringList{"WARNING: CLOSE_FILE is not supported and was ignored.",
                        "ERROR: Unknown command on script line 2: FIND(x) (SET commands belong "
                        "in input scripts, GET commands in output scripts).",
                        "ERROR: OPEN_FILE is not supported: a script works on its tagged file "
                        "only.",
                        "WARNING: Lines starting with END (other than END_LOOP) are not "
                        "supported; the script stopped there.",
                        "ERROR: END_LOOP on script line 2 has no open LOOP to close: END_LOOP"}));
  EXPECT_EQ(run.row(), 1);
}

// ---------------------------------------------------------------- LOOP

TEST(Loop, RepeatsItsBodyTheGivenNumberOfTimes) {
  ScriptRun run(kRows);
  ASSERT_TRUE(run.run("LOOP(3)\nMOVE_DOWN(1)\nGET_VALUE_FREE(1, \\s)\nEND_LOOP\nMOVE_DOWN(1)"))
      << run.messages;
  EXPECT_EQ(run.texts("r"), (StringList{"1", "2", "3"}));
  EXPECT_EQ(run.row(), 5);
}

TEST(Loop, UntilEolRunsUntilAPassFailsAndThenGoesOn) {
  ScriptRun run(kRows);
  ASSERT_TRUE(run.run("LOOP(EOL)\nMOVE_DOWN(1)\nGET_VALUE_FREE(1, \\s)\nEND_LOOP\nGOTO_TOP"))
      << run.messages;
  EXPECT_EQ(run.texts("r"), (StringList{"1", "2", "3", "4"}));
  EXPECT_EQ(run.row(), 1);
  EXPECT_EQ(run.messageLines(),
            (StringList{"NOTE: LOOP(EOL): the loop repeats until a pass fails.",
                        "NOTE: Could not execute script line 2: MOVE_DOWN(1)",
                        "NOTE: MOVE_DOWN(1) would move past the last line of the file.",
                        "NOTE: LOOP(EOL) ended: there was no further value to read."}));
}

TEST(Loop, UntilEolWhoseFirstPassFailsFailsTheScript) {
  ScriptRun run(kRows);
  EXPECT_FALSE(run.run("GOTO_END\nLOOP( EOL )\nMOVE_DOWN(1)\nEND_LOOP\nGOTO_TOP"));
  EXPECT_EQ(run.row(), 5);
  EXPECT_EQ(run.messageLines(),
            (StringList{"NOTE: LOOP(EOL): the loop repeats until a pass fails.",
                        "ERROR: Could not execute script line 2: LOOP( EOL )",
                        "ERROR: Could not execute script line 3: MOVE_DOWN(1)",
                        "ERROR: MOVE_DOWN(1) would move past the last line of the file.",
                        "ERROR: LOOP(EOL): the first pass failed, so no value was read."}));
}

TEST(Loop, UntilEolInAnInputScriptSpeaksOfValuesWritten) {
  ScriptRun run("a\n", true);
  EXPECT_FALSE(run.run("LOOP(EOL)\nMOVE_DOWN(1)\nEND_LOOP", {"p"}));
  EXPECT_EQ(run.messageLines().back(),
            "ERROR: LOOP(EOL): the first pass failed, so no value was written.");
}

TEST(Loop, CountedWhosePassFailsReportsThatPassAsOneError) {
  ScriptRun run(kRows);
  EXPECT_FALSE(run.run("LOOP(9)\nCLOSE_FILE\nMOVE_DOWN(2)\nEND_LOOP"));
  EXPECT_EQ(run.row(), 5);
  EXPECT_EQ(run.messageLines(),
            (StringList{"ERROR: CLOSE_FILE is not supported and was ignored.",
                        "ERROR: Could not execute script line 3: MOVE_DOWN(2)",
                        "ERROR: MOVE_DOWN(2) would move past the last line of the file."}));
}

TEST(Loop, CountedThatSucceedsDropsTheRemarksOfItsPasses) {
  ScriptRun run(kRows);
  ASSERT_TRUE(run.run("LOOP(2)\nCLOSE_FILE\nEND_LOOP\nCLOSE_FILE"));
  EXPECT_EQ(run.messages, "WARNING: CLOSE_FILE is not supported and was ignored.");
}

TEST(Loop, NestedRunsCompletelyInEveryPassOfTheOuterOne) {
  ScriptRun run("a b c\n");
  ASSERT_TRUE(
      run.run("LOOP(2)\nLOOP(3)\nGET_VALUE_FREE(1, \\s)\nEND_LOOP\n"
              "GET_VALUE_FREE(2, \\s)\nEND_LOOP"))
      << run.messages;
  EXPECT_EQ(run.texts("r"), (StringList{"a", "a", "a", "b", "a", "a", "a", "b"}));
}

TEST(Loop, CountsScriptLinesInItsBodyAndAfterIt) {
  ScriptRun run(kRows);
  EXPECT_FALSE(run.run("$\nLOOP(1)\nGOTO_TOP\nMOVE_UP(1)\nEND_LOOP"));
  EXPECT_EQ(run.messageLines().front(), "ERROR: Could not execute script line 4: MOVE_UP(1)");
  run.messages.clear();
  EXPECT_FALSE(run.run("LOOP(1)\nLOOP(1)\nGOTO_TOP\nEND_LOOP\nEND_LOOP\nMOVE_UP(1)"));
  EXPECT_EQ(run.messageLines().front(), "ERROR: Could not execute script line 6: MOVE_UP(1)");
}

TEST(Loop, WithoutItsEndLoopFails) {
  ScriptRun run(kRows);
  EXPECT_FALSE(run.run("LOOP(2)\nLOOP(2)\nGOTO_TOP\nEND_LOOP"));
  EXPECT_EQ(run.messages, "ERROR: A LOOP has no matching END_LOOP before the end of the script.");
}

TEST(Loop, TakesItsCountFromANumberOrADesignVariable) {
  ScriptRun run(kRows);
  run.service.parameters = {{"n", "2.5"}, {"word", "many"}};
  ASSERT_TRUE(run.run("LOOP(n)\nMOVE_DOWN(1)\nEND_LOOP")) << run.messages;
  EXPECT_EQ(run.row(), 4);
  for (const char* line : {"LOOP(missing)", "LOOP(word)", "LOOP(0.4)", "LOOP(1, 2)", "LOOP()"}) {
    EXPECT_FALSE(run.run(String(line) + "\nGOTO_TOP\nEND_LOOP")) << line;
  }
  EXPECT_EQ(run.row(), 4);
  EXPECT_EQ(run.messageLines(),
            (StringList{"ERROR: Could not execute script line 1: LOOP(missing)",
                        "ERROR: LOOP(missing): the variable missing has no value to use as the "
                        "number of passes.",
                        "ERROR: Could not execute script line 1: LOOP(word)",
                        "ERROR: LOOP(word): the loop must run at least once.",
                        "ERROR: Could not execute script line 1: LOOP(0.4)",
                        "ERROR: LOOP(0.4): the loop must run at least once.",
                        "ERROR: Could not execute script line 1: LOOP(1, 2)",
                        "ERROR: LOOP takes exactly 1 argument (a count, a variable name or EOL), "
                        "but 2 were given.",
                        "ERROR: Could not execute script line 1: LOOP()",
                        "ERROR: The command needs arguments between its parentheses: LOOP()"}));
}

TEST(Loop, UntilEolWhosePassChangesNothingEndsWithAnError) {
  ScriptRun run(kRows);
  EXPECT_FALSE(run.run("GOTO_LINE(3)\nLOOP(EOL)\nGET_VALUE_FREE(1, \\s)\nEND_LOOP"));
  EXPECT_EQ(run.texts("r"), StringList{"2"});
  EXPECT_EQ(run.messageLines(),
            (StringList{"NOTE: LOOP(EOL): the loop repeats until a pass fails.",
                        "ERROR: Could not execute script line 2: LOOP(EOL)",
                        "ERROR: LOOP(EOL) stopped: pass 1 ended on line 3 and changed nothing, "
                        "so every later pass would repeat it and the loop would never end. A "
                        "pass must move on through the file, so that one finally fails at its "
                        "end."}));
}

TEST(Loop, UntilEolIsBoundByTheFilesLineCount) {
  // Each pass changes the line, but the values take turns: the loop cycles.
  ScriptRun run("a\nb\nc\n", true);
  run.service.parameters = {{"p", "1\n2"}};
  EXPECT_FALSE(run.run("LOOP(EOL)\nSET_VALUE_FREE(1, \\s, %g)\nNEXT_VALUE\nEND_LOOP", {"p"}));
  EXPECT_EQ(run.messageLines().back(),
            "ERROR: LOOP(EOL) stopped after 4 passes, one more than the file has lines, without "
            "a pass failing; the loop is taken to run forever.");
}

TEST(Loop, CountedOnesWithHugeCountsEndWhenTheScriptsLinesRunOut) {
  ScriptRun nested(kRows);
  EXPECT_FALSE(nested.run("LOOP(2147483647)\nLOOP(2147483647)\nGOTO_TOP\nEND_LOOP\nEND_LOOP"));
  EXPECT_EQ(nested.messageLines().back(),
            "ERROR: LOOP stopped: the script's loops have run 100000 script lines in all, far "
            "more than a script needs for a file of 5 lines; the script is taken to run forever.");

  // A long body uses the budget up in fewer passes.
  String body;
  for (int i = 0; i < 400; ++i) body += "GOTO_TOP\n";
  ScriptRun longBody(kRows);
  EXPECT_FALSE(longBody.run("LOOP(2147483647)\n" + body + "END_LOOP"));
  EXPECT_EQ(longBody.messageLines().back(),
            "ERROR: LOOP stopped: the script's loops have run 100000 script lines in all, far "
            "more than a script needs for a file of 5 lines; the script is taken to run forever.");
}

// ---------------------------------------------------------------- variables

class Variables : public ::testing::Test {
 protected:
  String substituted(String line, const StringList& names = {"alpha"}) {
    ScriptState state = run.makeState("", names);
    run.interpreter().substituteVariables(line, 7, state, run.messages);
    return line;
  }
  ScriptRun run{"x\n"};
};

TEST_F(Variables, AreReplacedByValuesOrNamesAndWithoutOneStayWithAWarning) {
  run.service.parameters = {{"x", "3"}, {"y", "B"}};
  EXPECT_EQ(substituted("A(%x%, %y%, %x%)"), "A(3, B, 3)");
  EXPECT_EQ(substituted("SET_PARAMETER_LIST(%names%) %Param_Name%"),
            "SET_PARAMETER_LIST(%names%) alpha");
  EXPECT_EQ(run.messages, "");
  EXPECT_EQ(substituted("GOTO_STRING(%none%, 1)"), "GOTO_STRING(%none%, 1)");
  EXPECT_EQ(substituted("X(%Param_Name%)", {}), "X(%Param_Name%)");
  EXPECT_EQ(run.messageLines(),
            (StringList{"WARNING: The variable none on script line 7 of S_in_a1_data.txt has no "
                        "value; its reference was left in the line.",
                        "WARNING: The variable Param_Name on script line 7 of S_in_a1_data.txt "
                        "has no value; its reference was left in the line."}));
}

TEST_F(Variables, ArePairedFromTheEndOfTheLine) {
  run.service.parameters = {{"x", "3"}, {"a", "A"}};
  // From the right, %x% pairs first; the lone % before it names nothing.
  EXPECT_EQ(substituted("50% of %x%"), "50% of 3");
  // Replacing every %a% first keeps "5%" from pairing with the left %a%.
  EXPECT_EQ(substituted("%a% and 5% %a%"), "A and 5% A");
  EXPECT_EQ(substituted("100%%"), "100%%");
  EXPECT_EQ(run.messages, "");
}

TEST_F(Variables, WhoseValueHoldsItsOwnReferenceCannotGrowTheLineWithoutEnd) {
  run.service.parameters = {{"x", "%x%%x%"}};
  String line = "%x%";
  for (int i = 0; i < 30; ++i) line += " %x%";
  EXPECT_LE(substituted(line).size(), std::size_t{1} << 16);
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
