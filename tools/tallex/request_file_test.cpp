#include "request_file.h"

#include <gtest/gtest.h>

namespace tallex {
namespace {

TEST(RequestFile, ReadsEachNonBlankLineAsOneCommandInOrder) {
  const std::vector<Command> commands = parseRequestFile(
      "\r\n  $$RESULT_LIST_AVAILABLE  \r\n"
      "\n"
      "$$QUIET_GET_VALUE \"DISP\" \"TZ\" \"Node 12\" \" \" \"Time 0.5\"\r\n"
      "$$QUIET_GET_VALUES \"DISP\"\n"
      "\t$$PLOT \"DISP\"");
  ASSERT_EQ(4u, commands.size());
  EXPECT_EQ(CommandKind::ResultList, commands[0].kind);
  EXPECT_EQ("$$RESULT_LIST_AVAILABLE", commands[0].line);
  EXPECT_EQ(CommandKind::GetValue, commands[1].kind);
  EXPECT_EQ("$$QUIET_GET_VALUE \"DISP\" \"TZ\" \"Node 12\" \" \" \"Time 0.5\"", commands[1].line);
  EXPECT_EQ(CommandKind::Unknown, commands[2].kind);
  EXPECT_EQ(CommandKind::Unknown, commands[3].kind);
  EXPECT_EQ("$$PLOT \"DISP\"", commands[3].line);
}

TEST(RequestFile, TheResultListCommandTakesNothingAfterIt) {
  EXPECT_EQ(CommandKind::Unknown, parseRequestFile("$$RESULT_LIST_AVAILABLE now\n")[0].kind);
  EXPECT_EQ(CommandKind::Unknown, parseRequestFile("$$result_list_available\n")[0].kind);
}

TEST(ValueRequest, FieldsAreTrimmedAndABlankFieldMeansNone) {
  const Command command = parseRequestFile("$$QUIET_GET_VALUE \"DISP\" \" \" \" Node 12 \" \"\" \" \"")[0];
  EXPECT_EQ("", command.malformed);
  EXPECT_EQ("DISP", command.request.nature);
  EXPECT_EQ("", command.request.transformation);
  EXPECT_EQ("Node 12", command.request.location);
  EXPECT_EQ("", command.request.selection);
  EXPECT_EQ("", command.request.reference);
}

TEST(ValueRequest, FieldsNeedNoBlanksBetweenThem) {
  ValueRequest request;
  std::string why;
  ASSERT_TRUE(parseValueRequest("$$QUIET_GET_VALUE\"A\"\"B\"\"C\"\"D\"\"E\"", request, why)) << why;
  EXPECT_EQ("A", request.nature);
  EXPECT_EQ("E", request.reference);
}

TEST(ValueRequest, SaysWhyFieldsCannotBeRead) {
  const auto why = [](const std::string& line) {
    ValueRequest request;
    std::string reason;
    EXPECT_FALSE(parseValueRequest(line, request, reason));
    return reason;
  };
  EXPECT_EQ("expected 5 double-quoted fields (nature, transformation, location, selection, reference), found 3",
            why("$$QUIET_GET_VALUE \"DISP\" \"TZ\" \"Node 1\""));
  EXPECT_EQ("expected 5 double-quoted fields (nature, transformation, location, selection, reference), found 6",
            why("$$QUIET_GET_VALUE \"A\" \"B\" \"C\" \"D\" \"E\" \"F\""));
  EXPECT_EQ("expected 5 double-quoted fields (nature, transformation, location, selection, reference), found 0",
            why("$$QUIET_GET_VALUE"));
  EXPECT_EQ("field 3 has no closing double quote", why("$$QUIET_GET_VALUE \"A\" \"B\" \"C D E"));
  EXPECT_EQ("expected a double-quoted field at character 19", why("$$QUIET_GET_VALUE DISP TZ"));
}

TEST(ValueRequest, AMalformedRequestStaysACommandWithItsReason) {
  const Command command = parseRequestFile("$$QUIET_GET_VALUE \"DISP\"\n")[0];
  EXPECT_EQ(CommandKind::GetValue, command.kind);
  EXPECT_EQ("expected 5 double-quoted fields (nature, transformation, location, selection, reference), found 1",
            command.malformed);
}

}  // namespace
}  // namespace tallex
