#include "tagging/xml/xml_tagging.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "portal/failing_renames.h"
#include "portal/host/support.h"
#include "portal/properties.h"
#include "portal/test_host.h"
#include "tagging/xml/xml_file.h"

namespace ORLIX {
namespace Portals {
namespace {

using Support::File;
using testing::readWholeFile;
using testing::TempFolder;
using testing::TestHost;

class XmlEngine : public ::testing::Test {
 protected:
  // A tag file with one tag element per "name|xpath|xid" entry.
  String tagFile(const String& name, const StringList& tags) {
    String text = "<?xml version=\"1.0\"?>\n<TagDefinition>\n";
    for (const String& tag : tags) {
      const auto bar = tag.find('|');
      const auto bar2 = tag.find('|', bar + 1);
      text += "<tag mode=\"xml\" paramName=\"" + tag.substr(0, bar) + "\" paramType=\"T\" " +
              "xpath=\"" + tag.substr(bar + 1, bar2 - bar - 1) + "\" xid=\"" +
              tag.substr(bar2 + 1) + "\"/>\n";
    }
    return dir.write(name, text + "</TagDefinition>\n");
  }
  bool update(const StringList& files, const StringList& tagFiles) {
    return engine.processInputTags({{"inputFilepaths", joinList(files)},
                                    {"inputTagFilepaths", joinList(tagFiles)}},
                                   nullptr, message);
  }
  bool extract(const String& file, const String& tagFilePath) {
    return engine.processOutputTags({{"analysisName", "a1"},
                                     {"outputFilepaths", file},
                                     {"outputTagFilepaths", tagFilePath}},
                                    nullptr, message);
  }

  TempFolder dir;
  TestHost host;
  XmlTagging engine{&host};
  String message;
};

TEST_F(XmlEngine, WritesValuesAndKeepsEverythingButTheLayout) {
  host.service.parameters = {{"load", "12.5"}, {"label", "b & c"}};
  const String input = dir.write(
      "model.xml",
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE model>\n"
      "<!-- generated -->\n"
      "<?tool run?>\n"
      "<model>\n"
      "\t<part id=\"1\"><load value=\"0\"/></part>\n"
      "\t<part id=\"2\"><label>old</label><load value=\"0\"/></part>\n"
      "</model>\n");
  const String tags = tagFile("X_in_a1_model.xml", {"load|model/part[@id=2]/load|[@value]",
                                                    "label|/model/part[1]/label|[#text]"});
  ASSERT_TRUE(update({input}, {tags})) << message;
  EXPECT_EQ(readWholeFile(input),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!DOCTYPE model>\n"
            "<!-- generated -->\n"
            "<?tool run?>\n"
            "<model>\n"
            "  <part id=\"1\">\n"
            "    <load value=\"0\" />\n"
            "  </part>\n"
            "  <part id=\"2\">\n"
            "    <label>b &amp; c</label>\n"
            "    <load value=\"12.5\" />\n"
            "  </part>\n"
            "</model>\n");
  EXPECT_FALSE(File::exists(input + ".temp"));
  EXPECT_EQ(message, "");
}

TEST_F(XmlEngine, AnInputThatDoesNotParseIsLeftAsItWas) {
  const String broken = dir.write("broken.xml", "<m><p v=\"1\"></m>");
  const String good = dir.write("good.xml", "<m><p v=\"1\"/></m>");
  const String tags = tagFile("X_in_a1_m.xml", {"x|m/p|[@v]"});
  host.service.parameters = {{"x", "2"}};
  EXPECT_FALSE(update({broken, good}, {tags, tags}));
  EXPECT_EQ(message, "ERROR: Start-end tags mismatch\nERROR: Cannot read the XML input file " +
                         broken + ".");
  EXPECT_EQ(readWholeFile(broken), "<m><p v=\"1\"></m>");
  EXPECT_FALSE(File::exists(broken + ".temp"));
  EXPECT_EQ(readWholeFile(good), "<?xml version=\"1.0\"?>\n<m>\n  <p v=\"2\" />\n</m>\n");
}

TEST_F(XmlEngine, ARefusedRenameLeavesTheInputAsItWas) {
  const String input = dir.write("m.xml", "<m><p v=\"1\"/></m>");
  host.service.parameters = {{"x", "2"}};
  testing::FailingRenames refusing(".temp");
  EXPECT_FALSE(update({input}, {tagFile("X_in_a1_m.xml", {"x|m/p|[@v]"})}));
  EXPECT_EQ(refusing.refused(), 1);
  EXPECT_EQ(message, "ERROR: Cannot save the updated XML input file " + input + ".");
  EXPECT_EQ(readWholeFile(input), "<m><p v=\"1\"/></m>");
  EXPECT_FALSE(File::exists(input + ".temp"));
}

TEST_F(XmlEngine, AFileKeepsItsEncodingAndByteOrderMark) {
  host.service.parameters = {{"x", "\xC3\xA9t\xC3\xA9"}};  // "été" in UTF-8
  const String latin = dir.write("latin.xml",
                                 "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                                 "<m a=\"\xE9\"><p v=\"1\"/></m>\n");
  const String marked = dir.write("marked.xml", "\xEF\xBB\xBF<m><p v=\"1\"/></m>");
  const String tags = tagFile("X_in_a1_m.xml", {"x|m/p|[@v]"});
  ASSERT_TRUE(update({latin, marked}, {tags, tags})) << message;
  EXPECT_EQ(readWholeFile(latin),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
            "<m a=\"\xE9\">\n  <p v=\"\xE9t\xE9\" />\n</m>\n");
  EXPECT_EQ(readWholeFile(marked),
            "\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<m>\n  <p v=\"\xC3\xA9t\xC3\xA9\" />\n</m>\n");
}

// The parse converts UTF-16 to the parser's own UTF-8 in a buffer of its own:
// the mark must be seen in the file's bytes, before the parse.
TEST_F(XmlEngine, AUtf16FileKeepsItsByteOrderMark) {
  const auto utf16le = [](const String& ascii) {
    String wide;
    for (const char c : ascii) wide += String(1, c) + '\0';
    return wide;
  };
  host.service.parameters = {{"x", "2"}};
  const String input = dir.write("wide.xml", "\xFF\xFE" + utf16le("<m><p v=\"1\"/></m>"));
  ASSERT_TRUE(update({input}, {tagFile("X_in_a1_m.xml", {"x|m/p|[@v]"})})) << message;
  EXPECT_EQ(readWholeFile(input),
            "\xFF\xFE" + utf16le("<?xml version=\"1.0\"?>\n<m>\n  <p v=\"2\" />\n</m>\n"));
}

TEST_F(XmlEngine, AnEmptyFileHoldsNoDocument) {
  const String empty = dir.write("empty.xml", "");
  EXPECT_FALSE(extract(empty, tagFile("X_out_a1_m.xml", {"x|m|[@v]"})));
  EXPECT_EQ(message, "ERROR: No document element found\nERROR: Cannot read the XML output file " +
                         empty + ".");
}

TEST_F(XmlEngine, TagFilesThatDoNotReadAreErrors) {
  const String input = dir.write("m.xml", "<m/>");
  const String foreign = dir.write("X_in_a1_f.xml", "<?xml version=\"1.0\"?>\n<Portal/>\n");
  const String broken = dir.write("X_in_a1_b.xml", "<?xml version=\"1.0\"?>\n<TagDefinition>");
  EXPECT_FALSE(update({input, input}, {foreign, broken}));
  EXPECT_EQ(message, "ERROR: Cannot read the tag-definition file " + foreign +
                         ".\nERROR: Start-end tags mismatch\nERROR: Cannot read the "
                         "tag-definition file " +
                         broken + ".");
  message.clear();
  const String brokenOut = dir.write("X_out_a1_b.xml", "<TagDefinition>");
  EXPECT_FALSE(extract(input, brokenOut));
  EXPECT_EQ(message, "ERROR: Start-end tags mismatch\nERROR: Cannot read the tag-definition "
                     "file " + brokenOut + ".");
  EXPECT_EQ(readWholeFile(input), "<m/>");
}

// `depth` elements, one inside the other; the outermost, level 1, holds a
// value.
String nestedModel(std::size_t depth) {
  String open = "<m v=\"1\">", close = "</m>";
  for (std::size_t level = 2; level <= depth; ++level) {
    open += "<m>";
    close += "</m>";
  }
  return open + close;
}

TEST_F(XmlEngine, AnInputNestedPastTheBoundIsRefusedBeforeAnythingIsWritten) {
  host.service.parameters = {{"x", "2"}};
  const String tags = tagFile("X_in_a1_m.xml", {"x|m|[@v]"});
  const String atBound = dir.write("ok.xml", nestedModel(kMaxXmlDepth));
  ASSERT_TRUE(update({atBound}, {tags})) << message;
  EXPECT_EQ(readWholeFile(atBound).substr(0, 31), "<?xml version=\"1.0\"?>\n<m v=\"2\">");

  message.clear();
  const String deep = dir.write("deep.xml", nestedModel(kMaxXmlDepth + 1));
  EXPECT_FALSE(update({deep}, {tags}));
  EXPECT_EQ(message, "ERROR: The XML elements are nested more than 1000 levels deep; a file "
                     "nested deeper is neither read nor saved.\nERROR: Cannot read the XML "
                     "input file " + deep + ".");
  EXPECT_EQ(readWholeFile(deep), nestedModel(kMaxXmlDepth + 1));
  EXPECT_FALSE(File::exists(deep + ".temp"));
}

TEST_F(XmlEngine, AnOutputNestedPastTheBoundIsRefused) {
  const String deep = dir.write("deep.xml", nestedModel(kMaxXmlDepth + 1));
  EXPECT_FALSE(extract(deep, tagFile("X_out_a1_m.xml", {"x|m|[@v]"})));
  EXPECT_EQ(message, "ERROR: The XML elements are nested more than 1000 levels deep; a file "
                     "nested deeper is neither read nor saved.\nERROR: Cannot read the XML "
                     "output file " + deep + ".");
}

// A folder opens like a file, and the parser would take an absurd size for
// it; a pipe without a writer would hold the design forever. Each must read
// exactly as a missing file does, wherever a path is given.
TEST_F(XmlEngine, FoldersAndPipesReadLikeMissingFiles) {
  host.service.parameters = {{"x", "2"}};
  const String folder = dir.file("folder.xml");
  ASSERT_TRUE(std::filesystem::create_directory(folder));
  const String pipe = dir.file("pipe.xml");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const String missing = dir.file("missing.xml");
  const String inputTags = tagFile("X_in_a1_m.xml", {"x|m/p|[@v]"});
  const String outputTags = tagFile("X_out_a1_m.xml", {"x|m/p|[@v]"});
  const String input = dir.write("m.xml", "<m><p v=\"1\"/></m>");
  for (const String& path : {missing, folder, pipe}) {
    message.clear();
    EXPECT_FALSE(update({path}, {inputTags}));
    EXPECT_EQ(message, "ERROR: File was not found\nERROR: Cannot read the XML input file " +
                           path + ".");
    message.clear();
    EXPECT_FALSE(extract(path, outputTags));
    EXPECT_EQ(message, "ERROR: File was not found\nERROR: Cannot read the XML output file " +
                           path + ".");
    message.clear();
    EXPECT_FALSE(update({input}, {path}));
    EXPECT_EQ(message, "ERROR: File was not found\nERROR: Cannot read the tag-definition file " +
                           path + ".");
  }
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EXPECT_FALSE(File::exists(folder + ".temp"));
}

TEST_F(XmlEngine, WithoutTheHostServiceNothingIsWritten) {
  TestHost bare;
  bare.offerService = false;
  XmlTagging lonely{&bare};
  const String input = dir.write("m.xml", "<m><p v=\"1\"/></m>");
  const String tags = tagFile("X_in_a1_m.xml", {"x|m/p|[@v]"});
  TagList list{TagData{}};
  EXPECT_TRUE(lonely.processInputTags(
      {{"inputFilepaths", input}, {"inputTagFilepaths", tags}}, nullptr, message));
  EXPECT_TRUE(lonely.processInputFile(input, list, {}, message));
  EXPECT_EQ(readWholeFile(input), "<m><p v=\"1\"/></m>");
  EXPECT_EQ(message, "");
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
