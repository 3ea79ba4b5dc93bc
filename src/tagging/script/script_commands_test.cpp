// The commands of the script language, run through the interpreter as a
// script would run them.
#include "tagging/script/script_commands.h"

#include <gtest/gtest.h>

#include "tagging/script/script_test_run.h"

namespace ORLIX {
namespace Portals {
namespace {

using testing::ScriptRun;

struct Refusal {
  const char* line;
  String error;  // what follows "Could not execute script line 1: <line>"
};

// Runs each line as a script of its own; each must fail with its own error.
void expectRefusals(ScriptRun& run, const std::vector<Refusal>& refusals,
                    const StringList& names = {"r"}) {
  for (const Refusal& refusal : refusals) {
    run.messages.clear();
    EXPECT_FALSE(run.run(refusal.line, names)) << refusal.line;
    EXPECT_EQ(run.messageLines(),
              (StringList{"ERROR: Could not execute script line 1: " + String(refusal.line),
                          "ERROR: " + refusal.error}));
  }
}

TEST(CursorCommands, MoveWithinTheFileAsTold) {
  ScriptRun run("one 1\ntwo 2\nthree 3\nfour 4\n\n\n");
  const std::vector<std::pair<const char*, int>> moves = {
      {"GOTO_LINE(2.6)", 3}, {"MOVE_DOWN(2)", 5},  {"MOVE_UP(3)", 2}, {"GOTO_END", 4},
      {"GOTO_TOP", 1},       {"GOTO_LINE (6)", 6}, {"MOVE_UP(4)", 2}, {"MOVE_DOWN(4)", 6}};
  for (const auto& move : moves) {
    ASSERT_TRUE(run.run(move.first)) << move.first << "\n" << run.messages;
    EXPECT_EQ(run.row(), move.second) << move.first;
  }
}

TEST(CursorCommands, RefuseToLeaveTheFileAndStayWhereTheyWere) {
  ScriptRun run("x\nx\ny\nz\n");
  ASSERT_TRUE(run.run("GOTO_LINE(4)"));
  expectRefusals(
      run, {{"GOTO_LINE(0)", "GOTO_LINE(0) lies outside the file, which has lines 1 to 4."},
            {"GOTO_LINE(5)", "GOTO_LINE(5) lies outside the file, which has lines 1 to 4."},
            {"GOTO_LINE(1,2)",
             "GOTO_LINE takes exactly 1 argument (the line number), but 2 were given."},
            {"MOVE_DOWN(1)", "MOVE_DOWN(1) would move past the last line of the file."},
            {"MOVE_DOWN(2147483647)",
             "MOVE_DOWN(2.14748e+09) would move past the last line of the file."},
            {"MOVE_DOWN(0)", "MOVE_DOWN(0): the number of lines must be at least 1."},
            {"MOVE_DOWN()", "The command needs arguments between its parentheses: MOVE_DOWN()"},
            {"MOVE_UP(3)",
             "MOVE_UP(3) from line 4 would reach the first line of the file or go past it; "
             "MOVE_UP stops below the first line."},
            {"MOVE_UP(-1)", "MOVE_UP(-1): the number of lines must be at least 1."},
            {"GOTO_STRING(x, 3)",
             "Searching down for \"x\" found only 0 occurrence(s) before the end of the file."},
            {"GOTO_STRING(x, -3)",
             "Searching up for \"x\" found only 2 occurrence(s) before the start of the file."},
            {"GOTO_STRING(x, 0.4)",
             "GOTO_STRING: the occurrence must not be 0; give a positive number to search down "
             "or a negative one to search up."},
            {"GOTO_STRING(\\q, 1)",
             "Invalid delimiter list: a backslash must be followed by t (tab), s (blank), a "
             "comma or a second backslash."},
            {"GOTO_STRING(x)",
             "GOTO_STRING takes exactly 2 arguments (the text and the occurrence), but 1 were "
             "given."}});
  EXPECT_EQ(run.row(), 4);
}

TEST(GotoString, CountsFromTheCurrentLineAndDecodesItsText) {
  ScriptRun run("a b\nkey key\na,b\n");
  ASSERT_TRUE(run.run("GOTO_LINE(2)\nGOTO_STRING(key, 2)")) << run.messages;
  EXPECT_EQ(run.row(), 2);
  ASSERT_TRUE(run.run("GOTO_STRING(a\\,b, 1)")) << run.messages;
  EXPECT_EQ(run.row(), 3);
  ASSERT_TRUE(run.run("GOTO_STRING(a\\sb, -1)")) << run.messages;
  EXPECT_EQ(run.row(), 1);
}

TEST(GotoString, SearchesForTheCurrentParametersNameThroughParamName) {
  ScriptRun run("alpha 1\nbeta 2\n", true);
  ASSERT_TRUE(run.run("NEXT_PARAMETER\nGOTO_STRING(%Param_Name%, 1)", {"alpha", "beta"}))
      << run.messages;
  EXPECT_EQ(run.row(), 2);
}

// ---------------------------------------------------------------- GET

TEST(GetCommands, ReadFieldsAsTextsOrAsNumbersForNumericResponses) {
  ScriptRun run("stress = 1.5e3 ; ok\nx = 1 ; y = 2 ; z\nstatus:ok-done\nabcdef\n");
  run.numeric = {"stress"};
  ASSERT_TRUE(
      run.run("GET_VALUE_FREE(2, =;)\nNEXT_PARAMETER\nGET_VALUE_FREE(4, \\s)\n"
              "GET_RELATIVE_VALUE_FREE(y =, 1, 1, ;)\n"
              "GET_RELATIVE_VALUE_FIXED(status:, 1, 1, 2)\n"
              "MOVE_DOWN(1)\nGET_VALUE_FIXED(3, 5)\nGET_VALUE_FIXED(4, 10)",
              {"stress", "t"}))
      << run.messages;
  EXPECT_EQ(run.numbers("stress"), std::vector<double>{1500});
  // The relative FREE step's delimiter set begins with a blank: ", " comes before it.
  EXPECT_EQ(run.texts("t"), (StringList{";", "2", "ok", "cde", "def"}));
  EXPECT_EQ(run.messages, "WARNING: Line 4 of " + run.path() +
                              " ends before position 10: it is only 6 characters long, so the "
                              "field was read to the end of the line.");
}

TEST(GetCommands, RefuseWhatTheyCannotRead) {
  ScriptRun run("a b\n");
  run.numeric = {"r"};
  const String inFile = " on line 1 of " + run.path() + ": the line has only ";
  expectRefusals(
      run,
      {{"GET_VALUE_FREE(1, \\s)", "The value of the numeric response r is not a number: \"a\"."},
       {"GET_VALUE_FREE(3, \\s)",
        "Cannot read column 3" + inFile + "2 tokens separated by the delimiters \"  \"."},
       {"GET_VALUE_FREE()",
        "The command needs arguments between its parentheses: "
        "GET_VALUE_FREE()"},
       {"GET_VALUE_FREE", "The command has no argument list, \"(\" is missing: GET_VALUE_FREE"},
       {"GET_VALUE_FREE(0, \\s)",
        "GET_VALUE_FREE: field position 0 is invalid; fields are numbered from 1."},
       {"GET_VALUE_FREE(1)",
        "GET_VALUE_FREE takes 2 arguments (field position, delimiters), but 1 were given."},
       {"GET_VALUE_FIXED(, 2)",
        "GET_VALUE_FIXED(, 2): start column  is invalid; columns are numbered from 1."},
       {"GET_VALUE_FIXED(3, 2)",
        "GET_VALUE_FIXED(3, 2): the start column 3 lies after the end column  2."},
       {"GET_VALUE_FIXED(1, 2, 3)",
        "GET_VALUE_FIXED takes 2 arguments (start column, end column), but 3 were given."},
       {"GET_RELATIVE_VALUE_FREE(a, 1, 1)",
        "GET_RELATIVE_VALUE_FREE takes 4 arguments (search text, occurrence, field position, "
        "delimiters), but 3 were given."},
       {"GET_RELATIVE_VALUE_FREE(a, 1, 0, \\s)",
        "GET_RELATIVE_VALUE_FREE: field position  0 is invalid; fields are numbered from 1."},
       {"GET_RELATIVE_VALUE_FIXED(a, 1, 1)",
        "GET_RELATIVE_VALUE_FIXED takes 4 arguments (search text, occurrence, start column, end "
        "column), but 3 were given."},
       {"GET_RELATIVE_VALUE_FIXED(a, 1, 0, 2)",
        "GET_RELATIVE_VALUE_FIXED: the start column is invalid; columns are numbered from 1."},
       {"GET_RELATIVE_VALUE_FIXED(a, 1, 3, 2)",
        "GET_RELATIVE_VALUE_FIXED: the end column  2 lies before the start column  3."}});
  EXPECT_TRUE(run.results.numeric.empty());
}

TEST(GetCommands, RelativeOnesReportAFailingStepUnderItsInternalCommandLine) {
  ScriptRun run("a b\n");
  EXPECT_FALSE(run.run("GET_RELATIVE_VALUE_FREE(zz, 1.6, 1, \\s)"));
  EXPECT_FALSE(run.run("GET_RELATIVE_VALUE_FREE(a, 1, 3, \\s)"));
  EXPECT_EQ(run.messageLines(),
            (StringList{"ERROR: Could not execute script line 1: internal_goto_string (zz, 2)",
                        "ERROR: Searching down for \"zz\" found only 0 occurrence(s) before the "
                        "end of the file.",
                        "ERROR: Could not execute script line 1: internal_get_value_free(3,  \\s)",
                        "ERROR: Cannot read column 3 on line 1 of " + run.path() +
                            ": the line has only 1 tokens separated by the delimiters \"   \"."}));
}

// ---------------------------------------------------------------- GET_COLUMN

TEST(GetColumn, ReadsACountOfRowsAndStaysOnTheLastOne) {
  ScriptRun run("h\n1 a\n2 b\n3 c\n4 d\n");
  run.numeric = {"r"};
  ASSERT_TRUE(run.run("MOVE_DOWN(1)\nGET_COLUMN_FREE(1, 3, \\s)")) << run.messages;
  EXPECT_EQ(run.numbers("r"), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(run.row(), 4);
  EXPECT_EQ(run.messages, "");
}

TEST(GetColumn, UntilEocEndsAtARowWithoutTheFieldAtTheEndTextOrAtTheEndOfTheFile) {
  ScriptRun fieldEnd("1 a\n2 b\n3\n4 d\n");
  ASSERT_TRUE(fieldEnd.run("GET_COLUMN_FREE(2, EOC, \\s)")) << fieldEnd.messages;
  EXPECT_EQ(fieldEnd.texts("r"), (StringList{"a", "b"}));
  EXPECT_EQ(fieldEnd.row(), 3);
  EXPECT_EQ(fieldEnd.messages,
            "NOTE: The column ends at line 3, where no further value could be read.");

  ScriptRun textEnd("1 a\n2 b\n-- end 9\n4 d\n");
  ASSERT_TRUE(textEnd.run("GET_COLUMN_FREE(2, EOC , \\s,end)")) << textEnd.messages;
  EXPECT_EQ(textEnd.texts("r"), (StringList{"a", "b"}));
  EXPECT_EQ(textEnd.messages, "NOTE: The column ends at line 3, which holds its end text.");

  ScriptRun fileEnd("1 a\n2 b");
  ASSERT_TRUE(fileEnd.run("GET_COLUMN_FIXED(1, 1, EOC)")) << fileEnd.messages;
  EXPECT_EQ(fileEnd.texts("r"), (StringList{"1", "2"}));
  EXPECT_EQ(fileEnd.row(), 2);
  EXPECT_EQ(fileEnd.messages, "");
}

TEST(GetColumn, PassesOnTheRemarksOfFiveItemsAndThenWarnsOnce) {
  ScriptRun run("ab\nab\nab\nab\nab\nab\nab\nabcd\n");
  ASSERT_TRUE(run.run("GET_COLUMN_FIXED(2, 3, EOC)")) << run.messages;
  const StringList lines = run.messageLines();
  ASSERT_EQ(lines.size(), 6u) << run.messages;
  EXPECT_EQ(lines[4], "WARNING: Line 5 of " + run.path() +
                          " ends before position 3: it is only 2 characters long, so the field "
                          "was read to the end of the line.");
  EXPECT_EQ(lines[5],
            "WARNING: More values of the column came with remarks; the remaining remarks are not "
            "shown.");
  EXPECT_EQ(run.texts("r").size(), 8u);
}

TEST(GetColumn, RefusesWhatItCannotRead) {
  ScriptRun run("1\n2 b\nx\n");
  run.numeric = {"r"};
  expectRefusals(
      run,
      // In this order: the cursor stays where each failed column left it.
      {{"GET_COLUMN_FREE(2, EOC, \\s)",
        "Cannot read column 2 on line 1 of " + run.path() +
            ": the line has only 1 tokens separated by the delimiters \"  \"."},
       {"GET_COLUMN_FREE(1, 3, \\s)",
        "Value number 3 of the column is not a number, but the response is numeric."},
       {"GET_COLUMN_FREE(1, 2, \\s)",
        "GET_COLUMN_FREE reached the end of the file before "
        "reading the requested number of lines."},
       {"GET_COLUMN_FREE(1, 2)",
        "GET_COLUMN_FREE takes 3 or 4 arguments (field position, number of lines or EOC, "
        "delimiters, and with EOC an optional end text), but 2 were given."},
       {"GET_COLUMN_FREE(0, 2, \\s)",
        "GET_COLUMN_FREE: field position 0 is invalid; fields are numbered from 1."},
       {"GET_COLUMN_FREE(1, 0.4, \\s)",
        "GET_COLUMN_FREE:  0.4 is not a valid number of lines; give at least 1, or EOC to read "
        "to the end of the column."},
       {"GET_COLUMN_FIXED(1, 2, 3, x, y)",
        "GET_COLUMN_FIXED takes 3 or 4 arguments (start column, end column, number of lines or "
        "EOC, and with EOC an optional end text), but 5 were given."},
       {"GET_COLUMN_FIXED(3, 2, EOC)",
        "GET_COLUMN_FIXED: the end column  2 lies before the start column 3."},
       {"GET_COLUMN_FIXED(1, 2, -1)",
        "GET_COLUMN_FIXED:  -1 is not a valid number of lines; give at least 1, or EOC to read "
        "to the end of the column."}});
  EXPECT_TRUE(run.numbers("r").empty());
}

// ---------------------------------------------------------------- SET

TEST(SetCommands, WriteIntoTheRowAsEarlierCommandsLeftIt) {
  ScriptRun run("name a b c\nx = 1, y = 2\nk: 123456\nabcdef\n", true);
  run.service.parameters = {{"p", "42"}};
  ASSERT_TRUE(
      run.run("SET_VALUE_FREE(2, \\s, %g)\nSET_VALUE_FREE(3, \\s, Default)\n"
              "SET_RELATIVE_VALUE_FREE(y =, 1, 1, \\s, %g)\n"
              "SET_RELATIVE_VALUE_FIXED(k:, 1, 2, 4, %g)\n"
              "MOVE_DOWN(1)\nSET_VALUE_FIXED(3, 5, %g)",
              {"p"}))
      << run.messages;
  EXPECT_EQ(run.line(1), "name 42 42 c");
  EXPECT_EQ(run.line(2), "x = 1, y = 42");
  EXPECT_EQ(run.line(3), "k:  42456");
  EXPECT_EQ(run.line(4), "ab 42f");
  EXPECT_EQ(run.reader().getLine(0), "name a b c");
  EXPECT_EQ(run.messageLines().back(),
            "WARNING: Line 4 of " + run.path() +
                ": the field from position 3 to 5 does not match the value's length of 2 "
                "characters; the value was cut, or right-aligned with blanks, to fit.");
}

TEST(SetCommands, RefuseWhatTheyCannotWrite) {
  ScriptRun run("a b\n", true);
  run.service.parameters = {{"p", "1"}};
  expectRefusals(
      run,
      {{"SET_VALUE_FREE(1, \\s)",
        "SET_VALUE_FREE takes 3 arguments (field position, delimiters, format), but 2 were "
        "given."},
       {"SET_VALUE_FREE(0, \\s, %g)",
        "SET_VALUE_FREE: field position 0 is invalid; fields are numbered from 1."},
       {"SET_VALUE_FIXED(0, 2, %g)",
        "SET_VALUE_FIXED(0, 2, %g): start column 0 is invalid; columns are numbered from 1."},
       {"SET_VALUE_FIXED(3, 2, %g)",
        "SET_VALUE_FIXED(3, 2, %g): the start column 3 lies after the end column  2."},
       {"SET_RELATIVE_VALUE_FREE(a, 1, 0, \\s, %g)",
        "SET_RELATIVE_VALUE_FREE: field position  0 is invalid; fields are numbered from 1."},
       {"SET_RELATIVE_VALUE_FREE(a, 1, 1, \\s)",
        "SET_RELATIVE_VALUE_FREE takes 5 arguments (search text, occurrence, field position, "
        "delimiters, format), but 4 were given."},
       {"SET_RELATIVE_VALUE_FIXED(a, 1, 0, 2, %g)",
        "SET_RELATIVE_VALUE_FIXED: the start column is invalid; columns are numbered from 1."},
       {"SET_RELATIVE_VALUE_FIXED(a, 1, 3, 2, %g)",
        "SET_RELATIVE_VALUE_FIXED: the start column lies after the end column."},
       {"SET_RELATIVE_VALUE_FIXED(a, 1, 3, 2)",
        "SET_RELATIVE_VALUE_FIXED takes 5 arguments (search text, occurrence, start column, end "
        "column, format), but 4 were given."}},
      {"p"});
  // A parameter without a value has none to write: nothing is invented.
  expectRefusals(run,
                 {{"SET_VALUE_FREE(1, \\s, %g)",
                   "Parameter q has no value number 1 to "
                   "write."}},
                 {"q"});
  EXPECT_TRUE(run.modified.empty());
}

TEST(ParameterCommands, CycleThroughTheParametersAndTheirValues) {
  ScriptRun run("a b c\nx\ny\nz\n", true);
  run.service.parameters = {{"p", "P"}, {"q", "1\n2"}};
  ASSERT_TRUE(
      run.run("SET_VALUE_FREE(1, \\s, %g)\nNEXT_PARAMETER\nSET_VALUE_FREE(2, \\s, %g)\n"
              "NEXT_PARAMETER\nNEXT_VALUE\nSET_VALUE_FREE(3, \\s, %g)\n"
              "NEXT_PARAMETER\nLOOP(3)\nMOVE_DOWN(1)\nSET_VALUE_FREE(1, \\s, %g)\n"
              "NEXT_VALUE\nEND_LOOP",
              {"p", "q"}))
      << run.messages;
  // p has one value, which NEXT_VALUE keeps; q's two take turns.
  EXPECT_EQ(run.line(1), "P 1 P");
  EXPECT_EQ(run.line(2) + run.line(3) + run.line(4), "121");
}

TEST(ParameterCommands, FailWithoutAParameterListWhileCursorCommandsStillWork) {
  ScriptRun run("a b\n");
  EXPECT_TRUE(run.run("GOTO_END\nGOTO_TOP", {}));
  const String none =
      "The script names no parameter or response (its SET_PARAMETER_LIST is missing or empty), "
      "so this command has none to work on.";
  expectRefusals(run, {{"NEXT_PARAMETER", none}, {"GET_VALUE_FREE(1, \\s)", none}}, {});
  EXPECT_TRUE(run.results.text.empty());
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
