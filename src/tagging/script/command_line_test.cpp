#include "tagging/script/command_line.h"

#include <gtest/gtest.h>

#include <climits>

namespace ORLIX {
namespace Portals {
namespace {

StringList argumentsOf(const String& line) {
  StringList args;
  String errorId;
  EXPECT_TRUE(splitArguments(line, args, errorId)) << errorId;
  return args;
}

String errorOf(const String& line) {
  StringList args;
  String errorId;
  EXPECT_FALSE(splitArguments(line, args, errorId));
  return errorId;
}

TEST(ScriptKeywords, AreRecognisedByPrefixInTheLanguagesOrder) {
  EXPECT_EQ(recognizeCommand("GOTO_LINE(3)", false), ScriptCommand::GotoLine);
  EXPECT_EQ(recognizeCommand("GOTO_LINE (3)", false), ScriptCommand::GotoLine);
  EXPECT_EQ(recognizeCommand("GOTO_LINEAR(3)", false), ScriptCommand::GotoLine);
  EXPECT_EQ(recognizeCommand("END_LOOPS", true), ScriptCommand::EndLoop);
  EXPECT_EQ(recognizeCommand("ENDING", false), ScriptCommand::End);
  EXPECT_EQ(recognizeCommand("goto_top", false), ScriptCommand::Unrecognized);
  EXPECT_EQ(recognizeCommand(" GOTO_TOP", false), ScriptCommand::Unrecognized);
}

TEST(ScriptKeywords, OfGetCommandsBelongToOutputScriptsAndOfSetCommandsToInputScripts) {
  EXPECT_EQ(recognizeCommand("GET_VALUE_FREE(1, \\s)", false), ScriptCommand::GetValueFree);
  EXPECT_EQ(recognizeCommand("GET_VALUE_FREE(1, \\s)", true), ScriptCommand::Unrecognized);
  EXPECT_EQ(recognizeCommand("SET_RELATIVE_VALUE_FIXED(a, 1, 1, 2, %g)", true),
            ScriptCommand::SetRelativeValueFixed);
  EXPECT_EQ(recognizeCommand("SET_VALUE_FREE(1, \\s, %g)", false), ScriptCommand::Unrecognized);
  EXPECT_EQ(recognizeCommand("NEXT_VALUE", true), ScriptCommand::NextValue);
  EXPECT_EQ(recognizeCommand("NEXT_VALUE", false), ScriptCommand::Unrecognized);
  EXPECT_EQ(recognizeCommand("NEXT_PARAMETER", false), ScriptCommand::NextParameter);
}

TEST(ScriptArguments, AreCutAtCommasAndKeepTheirBlanks) {
  EXPECT_EQ(argumentsOf("GET_VALUE_FREE(2, \\s)"), (StringList{"2", " \\s"}));
  EXPECT_EQ(argumentsOf("GOTO_LINE(7)"), (StringList{"7"}));
  EXPECT_EQ(argumentsOf("X( )"), (StringList{" "}));
}

TEST(ScriptArguments, KeepEmptyOnesInTheMiddleAndAtTheEnd) {
  EXPECT_EQ(argumentsOf("X(a,,b)"), (StringList{"a", "", "b"}));
  EXPECT_EQ(argumentsOf("X(a,)"), (StringList{"a", ""}));
  EXPECT_EQ(argumentsOf("X(,)"), (StringList{"", ""}));
}

TEST(ScriptArguments, KeepAnEscapedCommaInsideTheirArgumentForTheEscapeDecoding) {
  EXPECT_EQ(argumentsOf("GOTO_STRING(a\\,b, 1)"), (StringList{"a\\,b", " 1"}));
  EXPECT_EQ(argumentsOf("X(\\,)"), (StringList{"\\,"}));
}

TEST(ScriptArguments, RunFromTheFirstOpeningToTheLastClosingParenthesis) {
  EXPECT_EQ(argumentsOf("GOTO_STRING((x), 1) trailing"), (StringList{"(x)", " 1"}));
  EXPECT_EQ(argumentsOf("X(a) and (b)"), (StringList{"a) and (b"}));
}

TEST(ScriptArguments, FailWithTheIdentifierOfWhatIsWrongWithTheParentheses) {
  EXPECT_EQ(errorOf("GET_VALUE_FREE 2"), ".err.cmdArgsNoOpenParens");
  EXPECT_EQ(errorOf("GET_VALUE_FREE(2"), ".err.cmdArgsNoCloseParens");
  EXPECT_EQ(errorOf("GET_VALUE_FREE)2("), ".err.cmdArgsNoCloseParens");
  EXPECT_EQ(errorOf("GET_VALUE_FREE()"), ".err.cmdArgsNoParams");
}

TEST(ScriptNumbers, AreRoundedHalfAwayFromZeroFromTheLongestLeadingNumber) {
  EXPECT_EQ(roundArgument("2.6"), 3);
  EXPECT_EQ(roundArgument("2.5"), 3);
  EXPECT_EQ(roundArgument("2.4"), 2);
  EXPECT_EQ(roundArgument("-2.5"), -3);
  EXPECT_EQ(roundArgument(" 3 lines"), 3);
  EXPECT_EQ(roundArgument("EOC"), 0);
  EXPECT_EQ(roundArgument("1e300"), INT_MAX);
  EXPECT_EQ(roundArgument("-1e300"), INT_MIN);
}

TEST(ScriptKeywordArguments, MatchWithoutTheirBlanksButWithTheirCase) {
  EXPECT_TRUE(isKeywordArgument(" EOC ", "EOC"));
  EXPECT_FALSE(isKeywordArgument("eoc", "EOC"));
  EXPECT_FALSE(isKeywordArgument("EOCX", "EOC"));
}

TEST(ScriptCommandFailure, IsAnnouncedWithTheScriptLineBeforeItsOwnError) {
  String messages;
  CommandCall call("GOTO_LINE(1,2)", 4, messages);
  EXPECT_FALSE(call.fail(".err.gotoLineNumOptions", {"2"}));
  EXPECT_EQ(messages,
            "ERROR: Could not execute script line 4: GOTO_LINE(1,2)\n"
            "ERROR: GOTO_LINE takes exactly 1 argument (the line number), but 2 were given.");
}

TEST(ScriptCommandFailure, OfTheArgumentListNamesTheLine) {
  String messages;
  CommandCall call("MOVE_DOWN", 2, messages);
  StringList args;
  EXPECT_FALSE(call.arguments(args));
  EXPECT_EQ(messages,
            "ERROR: Could not execute script line 2: MOVE_DOWN\n"
            "ERROR: The command has no argument list, \"(\" is missing: MOVE_DOWN");
}

TEST(ScriptMessageArguments, KeepTheirPlaceWhenEmptyAndAreNeverTakenForPlaceholders) {
  EXPECT_EQ(bindArguments("A(%1): start %2, end %3", {"", "x", "y"}), "A(): start x, end y");
  EXPECT_EQ(bindArguments("line %2: %1", {"F(%2.1f)", "7"}), "line 7: F(%2.1f)");
  EXPECT_EQ(bindArguments("%1 and %3", {"a", "b"}), "a and b");
  EXPECT_EQ(bindArguments("%1 of %1, %4", {"a"}), "a of a, %4");
}

TEST(ScriptCommandFailure, TurnsAnotherPartsWarningIntoTheError) {
  String messages;
  CommandCall call("X(1)", 1, messages);
  EXPECT_FALSE(call.failWith("WARNING: something"));
  EXPECT_EQ(messages, "ERROR: Could not execute script line 1: X(1)\nERROR: something");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
