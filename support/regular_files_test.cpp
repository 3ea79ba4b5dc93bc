// Whatever the library reads must be a regular file: a folder, a device or a
// pipe given where a file belongs reads exactly like a file that cannot be
// opened, and none of them makes a reader wait or grow without end.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "portal/host/support.h"
#include "support/host_api.h"
#include "support/test_folder.h"

namespace ORLIX {
namespace Support {
namespace {

class NotAFile : public testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0); }
  void TearDown() override {
    StringTableAdmin::reset();
    ToolMessagesAdmin::setConfigFile("");
  }

  TestFolder folder;
  const std::string pipe = folder / "pipe";
  // A folder, a device that never ends, a device that is always empty, and a
  // pipe without a writer.
  const std::string paths[4] = {folder.path, "/dev/zero", "/dev/null", pipe};
};

TEST_F(NotAFile, NeitherReaderOpensIt) {
  for (const std::string& path : paths) {
    EXPECT_FALSE(FileReader(path, false).is_open()) << path;
    const FileBufferedReader buffered(path);
    EXPECT_FALSE(buffered.isOpen()) << path;
    EXPECT_EQ(buffered.numLines(), 0) << path;
  }
}

TEST_F(NotAFile, IsNoSourceToCopyFromAndTheTargetStaysAsItWas) {
  const std::string target = folder.write("target", "keep me");
  for (const std::string& path : paths) {
    EXPECT_FALSE(File::copy(path, target)) << path;
    EXPECT_EQ(TestFolder::read(target), "keep me") << path;
  }
}

TEST_F(NotAFile, IsReportedAsAStringTableThatCannotBeOpened) {
  String error;
  EXPECT_FALSE(StringTableAdmin::loadFile(folder.path, error));
  EXPECT_EQ(error, "Cannot open the string table " + folder.path + ".");
}

TEST_F(NotAFile, IsReportedAsAToolMessageConfigurationThatCannotBeOpened) {
  for (const std::string& path : paths) {
    ToolMessagesAdmin::setConfigFile(path);
    String error;
    EXPECT_EQ(FileParser::getToolMessagesUsingConfigFile("Solver", "run", {}, error), StringList{});
    EXPECT_EQ(error, "Tool-message configuration: cannot open " + path + ".");
  }
}

TEST_F(NotAFile, IsAToolMessageFileWithNothingToSay) {
  const String config = folder.write("messages.conf", "[Solver run]\nfile = ${log}\nERROR contains x\n");
  ToolMessagesAdmin::setConfigFile(config);
  for (const std::string& path : paths) {
    String error;
    const StringList messages = FileParser::getToolMessagesUsingConfigFile("Solver", "run", {{"log", path}}, error);
    EXPECT_EQ(messages, StringList{}) << path;
    EXPECT_EQ(error, "") << path;
  }
}

}  // namespace
}  // namespace Support
}  // namespace ORLIX
