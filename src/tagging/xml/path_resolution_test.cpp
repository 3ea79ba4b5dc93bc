#include "tagging/xml/path_resolution.h"

#include <gtest/gtest.h>

#include <array>

namespace ORLIX {
namespace Portals {
namespace {

// Every element carries its name tag "n", so a found target reads as one word.
const char* const kModel =
    "<?model not-an-element?>"
    "<model n='m'>"
    "<!-- part -->"
    "<part n='p0' id='7' v='a=b'>abc<load n='l00' value='1'/><load n='l01' value='2'/></part>"
    "<part n='p1' id='8'>def<load n='l10' value='3'/><other n='o1'/></part>"
    "<part n='p2' id='7'><![CDATA[ghi]]><note n='x2'/></part>"
    "<part n='p3'/>"
    "</model>";

class Resolution : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(document.load_string(kModel, pugi::parse_full));
  }
  pugi::xml_node element(const String& n) const {
    return document.find_node([&](pugi::xml_node node) { return n == node.attribute("n").value(); });
  }
  // "<p1>" an element, "@id=7" an attribute, "text:abc" a text, "-" nothing.
  static String describe(const XmlTarget& target) {
    if (target.attribute) {
      return "@" + String(target.attribute.name()) + "=" + target.attribute.value();
    }
    if (!target.node) return "-";
    if (target.node.type() == pugi::node_element) {
      return "<" + String(target.node.attribute("n").value()) + ">";
    }
    if (target.node.type() == pugi::node_document) return "document";
    return "text:" + String(target.node.value());
  }
  String find(const String& path) const { return describe(resolvePath(document, splitPath(path))); }
  String findFrom(const String& n, const String& path) const {
    return describe(resolvePath(element(n), splitPath(path)));
  }

  pugi::xml_document document;
};

TEST_F(Resolution, PathsStartAtTheDocumentSoTheFirstSegmentNamesTheRoot) {
  EXPECT_EQ(find("/model/part[1]/load"), "<l10>");
  EXPECT_EQ(find("model/part[1]/load"), "<l10>");
  EXPECT_EQ(find("model"), "<m>");
  EXPECT_EQ(find("part"), "-");
}

TEST_F(Resolution, IndexesCountElementsOfTheNameFromZero) {
  EXPECT_EQ(find("model/part"), "<p0>");
  EXPECT_EQ(find("model/part[2]"), "<p2>");
  EXPECT_EQ(find("model/part[0]/load[1]"), "<l01>");
  EXPECT_EQ(find("model/part[4]"), "-");
  EXPECT_EQ(find("model/part[-1]"), "-");
}

TEST_F(Resolution, ConditionsTakeTheFirstChildThatPasses) {
  EXPECT_EQ(find("model/part[@id=7]"), "<p0>");
  EXPECT_EQ(find("model/part[@id=8]/load"), "<l10>");
  EXPECT_EQ(find("model/part[#text=def]"), "<p1>");
  EXPECT_EQ(find("model/part[#text=ghi]"), "<p2>");
  EXPECT_EQ(find("model/part[./note]"), "<p2>");
  EXPECT_EQ(find("model[./part[2]/note]/part[./load[@value=3]]"), "<p1>");
  EXPECT_EQ(find("model[./part/note]"), "-");
  EXPECT_EQ(find("model/part[@id=9]"), "-");
}

TEST_F(Resolution, ASelectorWithAValueIsASecondConditionThenPicksItsAttribute) {
  EXPECT_EQ(find("model/part[@id=7][@n=p2]"), "@n=p2");
  EXPECT_EQ(find("model/part[@id=7][@n=p5]"), "-");
}

TEST_F(Resolution, TheFirstChildTakenIsFollowedEvenWhenItLeadsNowhere) {
  // p2 has a note, but p0 passes the condition first.
  EXPECT_EQ(find("model/part[@id=7]/note"), "-");
}

TEST_F(Resolution, ALeafSegmentCanPickInsideTheFirstElementOfItsName) {
  EXPECT_EQ(find("model/part[@id]"), "@id=7");
  EXPECT_EQ(find("model/part[#text]"), "text:abc");
  EXPECT_EQ(find("model/part[other]"), "-");
  EXPECT_EQ(find("model/part[1][other]"), "<o1>");
  EXPECT_EQ(find("model/part[2][#text]"), "text:ghi");
  // Only the first part is looked at, and it has no such attribute.
  EXPECT_EQ(find("model/part[@other]"), "-");
  // Not as an inner segment.
  EXPECT_EQ(find("model/part[@id]/load"), "-");
}

TEST_F(Resolution, BracketAndDotSegmentsStayAtTheirStart) {
  EXPECT_EQ(findFrom("l01", "[@value]"), "@value=2");
  EXPECT_EQ(findFrom("p0", "[#text]"), "text:abc");
  EXPECT_EQ(findFrom("p0", "."), "<p0>");
  EXPECT_EQ(findFrom("p0", "./load[1]"), "<l01>");
  EXPECT_EQ(findFrom("p0", "/"), "<p0>");
  // A bracket-only segment ends the path.
  EXPECT_EQ(findFrom("p0", "[@v]/load"), "@v=a=b");
  EXPECT_EQ(find(""), "document");
}

TEST_F(Resolution, NothingIsFoundFromNothing) {
  EXPECT_EQ(describe(resolvePath(pugi::xml_node(), splitPath("a"))), "-");
  EXPECT_EQ(describe(resolvePath(pugi::xml_node(), {})), "-");
  EXPECT_EQ(describe(selectTarget(pugi::xml_node(), "@id")), "-");
}

TEST_F(Resolution, SelectTargetIgnoresAValueAndWantsElementsForNames) {
  EXPECT_EQ(describe(selectTarget(element("p0"), "@id=9")), "@id=7");
  EXPECT_EQ(describe(selectTarget(element("p0"), "load")), "<l00>");
  EXPECT_EQ(describe(selectTarget(element("p0"), "")), "-");
  EXPECT_EQ(describe(selectTarget(element("p3"), "#text")), "-");
  EXPECT_EQ(describe(selectTarget(element("p1"), "@missing")), "-");
  // The processing instruction before the root has a name, but is no element.
  EXPECT_EQ(describe(selectTarget(document, "model")), "<m>");
  EXPECT_EQ(find("model[0]"), "<m>");
}

TEST_F(Resolution, MatchesCondition) {
  const pugi::xml_node p0 = element("p0");
  EXPECT_TRUE(matchesCondition(p0, "@id=7"));
  EXPECT_TRUE(matchesCondition(p0, "id=7"));
  EXPECT_TRUE(matchesCondition(p0, "@v=a=b"));
  EXPECT_TRUE(matchesCondition(p0, "#text=abc"));
  EXPECT_TRUE(matchesCondition(p0, "./load[1]"));
  EXPECT_TRUE(matchesCondition(p0, "./"));
  EXPECT_FALSE(matchesCondition(p0, "@id=07"));
  EXPECT_FALSE(matchesCondition(p0, "#tail=abc"));
  EXPECT_FALSE(matchesCondition(p0, "@id"));
  EXPECT_FALSE(matchesCondition(p0, ""));
  EXPECT_FALSE(matchesCondition(p0, "./note"));
  EXPECT_FALSE(matchesCondition(element("p3"), "@id="));
  EXPECT_TRUE(matchesCondition(element("p3"), "#text="));
}

TEST_F(Resolution, ValuesGoIntoAttributesAndTextsButNotElements) {
  const XmlTarget attribute = resolvePath(element("l00"), splitPath("[@value]"));
  const XmlTarget text = resolvePath(element("p0"), splitPath("[#text]"));
  const XmlTarget cdata = resolvePath(element("p2"), splitPath("[#text]"));
  const XmlTarget load = resolvePath(element("p0"), splitPath("load"));
  ASSERT_TRUE(writeTargetValue(attribute, "5"));
  ASSERT_TRUE(writeTargetValue(text, "xyz"));
  ASSERT_TRUE(writeTargetValue(cdata, "c"));
  EXPECT_FALSE(writeTargetValue(load, "5"));
  EXPECT_FALSE(writeTargetValue(XmlTarget(), "5"));

  String value;
  ASSERT_TRUE(readTargetValue(attribute, value));
  EXPECT_EQ(value, "5");
  ASSERT_TRUE(readTargetValue(text, value));
  EXPECT_EQ(value, "xyz");
  ASSERT_TRUE(readTargetValue(cdata, value));
  EXPECT_EQ(value, "c");
  EXPECT_FALSE(readTargetValue(load, value));
  EXPECT_FALSE(readTargetValue(XmlTarget(), value));
}

// The indexed resolver must find exactly what the plain walk finds, also after
// values that conditions look at have been written.
class IndexedResolution : public Resolution {
 protected:
  void SetUp() override {
    Resolution::SetUp();
    // Tables built for announced values only, and asked for others too.
    for (const char* path : {"model/part[@id=7]", "model/part[./load[@value=2]]",
                             "model/part[#text=abc]", "model/part[id=8]"}) {
      announced.expect(splitPath(path));
    }
  }
  void expectSameAsPlainWalk(const char* when) {
    for (const char* path : kPaths) {
      const XmlTarget plain = resolvePath(document, splitPath(path));
      for (PathResolver* indexed : {&resolver, &announced}) {
        const XmlTarget target = indexed->resolve(document, splitPath(path));
        EXPECT_EQ(target.node, plain.node) << path << " " << when;
        EXPECT_EQ(target.attribute, plain.attribute) << path << " " << when;
      }
    }
  }
  void write(const String& path, const String& value) {
    const XmlTarget target = resolver.resolve(document, splitPath(path));
    ASSERT_TRUE(writeTargetValue(target, value)) << path;
    resolver.valueWritten(target);
    announced.valueWritten(target);
  }

  static constexpr const char* kPaths[] = {
      "model/part", "model/part[2]", "model/part[9]", "model/part[0]/load[1]",
      "model/part[@id=7]", "model/part[@id=8]/load", "model/part[id=7][#text]",
      "model/part[@id=7][@n=p2]", "model/part[@id=7][#text=ghi]", "model/part[@id=]",
      "model/part[@id=7]/note", "model/part[#text=abc]", "model/part[#text=ghi]/note",
      "model/part[#text=]", "model/part[#tail=abc]", "model/part[./note]",
      "model/part[./load[@value=3]]/other", "model/part[@id]", "model/part[@id]/load",
      "model/part[#text]", "model/part[other]", "model/part[1][other]", "model/part[abc][@id=7]",
      "model/part[@v=a=b]", "model/part[@#text=abc]", "model/none", "model/./part[3]",
      "model/[@n]", "model/part[-1]", "model/part[./load[@value=2]]",
      "model/part[./load[@value=3]]/other", "model/part[./load[1][@value=2]]",
      "model[./part[2]/note[@n=x2]]/part[3]", "model/part[./note[#text=]]",
      "model/part[./load[value=1]]", "model/part[./load[@value=1]][@id=7]",
      "model/part[././load[@value=1]]", "model/part[./load[@value=1]/x]",
      "model/part[./load[#text=]]/load[1]"};
  PathResolver resolver;
  PathResolver announced;
};

TEST_F(IndexedResolution, FindsWhatThePlainWalkFinds) {
  expectSameAsPlainWalk("at first");
  write("model/part[0][@id]", "9");
  expectSameAsPlainWalk("after p0's id became 9");
  write("model/part[0][#text]", "ghi");
  expectSameAsPlainWalk("after p0's text became ghi");
  write("model/part[3]/[@n]", "q3");
  write("model/part[2][@id]", "8");
  expectSameAsPlainWalk("after p2's id became 8");
  write("model/part[0]/load[1][@value]", "3");
  expectSameAsPlainWalk("after the second load of p0 took the value 3");
  write("model/part[2]/note[@n]", "renamed");
  expectSameAsPlainWalk("after the note of p2 was renamed");
}

TEST_F(IndexedResolution, DuplicateValuesAreTakenInDocumentOrder) {
  EXPECT_EQ(describe(resolver.resolve(document, splitPath("model/part[@id=7]"))), "<p0>");
  // The text selector both picks p2 and then its text.
  EXPECT_EQ(describe(resolver.resolve(document, splitPath("model/part[@id=7][#text=ghi]"))),
            "text:ghi");
  write("model/part[0][@id]", "8");
  EXPECT_EQ(describe(resolver.resolve(document, splitPath("model/part[@id=7]"))), "<p2>");
  EXPECT_EQ(describe(resolver.resolve(document, splitPath("model/part[@id=8]"))), "<p0>");
}

TEST(WideLists, PositionsAndValuesBeyondTheFirstMarks) {
  String text = "<l>";
  for (int i = 0; i < 150; ++i) {
    text += "<a i='" + std::to_string(i) + "'/><!-- c --><b i='" + std::to_string(i % 7) + "'/>";
  }
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string((text + "</l>").c_str(), pugi::parse_full));
  PathResolver resolver;
  resolver.expect(splitPath("l/b[@i=3]"));
  for (int i = 0; i <= 151; ++i) {
    for (const String& path : {"l/a[" + std::to_string(i) + "]", "l/b[@i=" + std::to_string(i) + "]",
                               "l/a[@i=" + std::to_string(i) + "]"}) {
      EXPECT_EQ(resolver.resolve(document, splitPath(path)).node,
                resolvePath(document, splitPath(path)).node)
          << path;
    }
  }
  EXPECT_EQ(String(resolver.resolve(document, splitPath("l/a[149]")).node.attribute("i").value()),
            "149");
}

// Wide enough for a survey to list on its walk, from the first sibling on: 3,000
// siblings of two names between comments, texts and a wide list of their own.
String surveyedModel() {
  String text = "<?pi before?><m><l>";
  for (int i = 0; i < 3000; ++i) {
    const String n = std::to_string(i);
    if (i % 100 == 0) text += "<!-- " + n + " -->";
    if (i == 1500) {
      text += "<a i='x'>";
      for (int j = 0; j < 1200; ++j) text += "<w j='" + std::to_string(j) + "'/>";
      text += "</a>";
    }
    text += i % 3 == 2 ? "<b i='" + std::to_string(i % 50) + "'>t" + n + "</b>"
                       : "<a i='" + n + "'><c>" + std::to_string(i % 7) + "</c></a>";
  }
  return text + "</l><tail/></m><!-- after -->";
}

class Survey : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(document.load_string(surveyedModel().c_str(), pugi::parse_full));
    for (const char* path : kAnnounced) resolver.expect(splitPath(path));
    ASSERT_TRUE(resolver.prepare(document, kMaxDepth));
  }
  void expectSameAsPlainWalk(const char* when) {
    StringList paths(kAnnounced.begin(), kAnnounced.end());
    paths.insert(paths.end(), kOthers.begin(), kOthers.end());
    for (const String& path : paths) {
      const XmlTarget plain = resolvePath(document, splitPath(path));
      const XmlTarget target = resolver.resolve(document, splitPath(path));
      EXPECT_EQ(target.node, plain.node) << path << " " << when;
      EXPECT_EQ(target.attribute, plain.attribute) << path << " " << when;
    }
  }
  String attributeAt(const String& path, const char* name) {
    return resolver.resolve(document, splitPath(path)).node.attribute(name).value();
  }

  static constexpr std::size_t kMaxDepth = 4;
  static constexpr std::array<const char*, 14> kAnnounced = {
      "m/l/a[0]", "m/l/a[1023]", "m/l/a[1024]", "m/l/a[2000]", "m/l/a[2001]",
      "m/l/b[@i=7]", "m/l/b[@i=49]", "m/l/b[#text=t2]", "m/l/b[#text=t2999]",
      "m/l/a[@i=5]", "m/l/a[@i=x]/w[1100]", "m/l/a[@i=x]/w[@j=1150]", "m/l/a[./c[#text=6]]",
      "m/tail"};
  static constexpr std::array<const char*, 6> kOthers = {
      "m/l/a[@i=2998]", "m/l/b[@i=50]", "m/l/b[#text=t1400]", "m/l/a[./c[#text=3]]",
      "m/l/a[@i=x]/w[@j=0]", "m/l/a[1500]/w[3]"};
  pugi::xml_document document;
  PathResolver resolver;
};

TEST_F(Survey, ListsWideParentsAsThePlainWalkFindsTheirChildren) {
  expectSameAsPlainWalk("after the survey");
  // The 1,001st a is the one holding the list of w.
  EXPECT_EQ(attributeAt("m/l/a[1024]", "i"), "1534");
  EXPECT_EQ(attributeAt("m/l/a[@i=x]/w[@j=1150]", "j"), "1150");
  EXPECT_EQ(attributeAt("m/l/a[./c[#text=6]]", "i"), "6");
}

TEST_F(Survey, TablesItBuiltFollowWrites) {
  const auto write = [&](const char* path, const char* value) {
    const XmlTarget target = resolver.resolve(document, splitPath(path));
    ASSERT_TRUE(writeTargetValue(target, value)) << path;
    resolver.valueWritten(target);
  };
  write("m/l/a[1][@i]", "5");
  write("m/l/b[0][#text]", "t2999");
  write("m/l/a[@i=x]/w[0][@j]", "1150");
  write("m/l/a[0]/c[#text]", "6");
  expectSameAsPlainWalk("after writes");
  EXPECT_EQ(attributeAt("m/l/a[@i=x]/w[@j=1150]", "j"), "1150");
  EXPECT_EQ(attributeAt("m/l/a[./c[#text=6]]", "i"), "0");
}

// `depth` elements, one inside the other, with a text in the innermost.
String chain(std::size_t depth) {
  String open, close;
  for (std::size_t level = 0; level < depth; ++level) {
    open += "<d>";
    close += "</d>";
  }
  return open + "text" + close;
}

TEST(SurveyDepth, RefusesAnElementPastTheBoundWhereverTheWalkMeetsIt) {
  String wide;
  for (int i = 0; i < 1500; ++i) wide += "<x/>";
  const auto prepared = [](const String& text, std::size_t bound) {
    pugi::xml_document document;
    EXPECT_TRUE(document.load_string(text.c_str(), pugi::parse_full)) << text;
    PathResolver resolver;
    resolver.expect(splitPath("d/d[@k=1]"));
    const bool result = resolver.prepare(document, bound);
    // What a refused survey leaves behind still resolves as the plain walk.
    for (const char* path : {"d/d", "d/x[1400]", "d/d[@k=1]"}) {
      EXPECT_EQ(resolver.resolve(document, splitPath(path)).node,
                resolvePath(document, splitPath(path)).node)
          << path;
    }
    return result;
  };
  EXPECT_TRUE(prepared(chain(4), 4));
  EXPECT_FALSE(prepared(chain(5), 4));
  // Past the bound inside a wide list, after the survey began to list it.
  const String inside = "<d>" + wide + "<d k='1'>" + chain(2) + "</d>" + wide + "</d>";
  EXPECT_TRUE(prepared(inside, 4));
  EXPECT_FALSE(prepared(inside, 3));
  // Past the bound after a wide list ended, and after the root's siblings.
  const String after = "<d><d>" + wide + "</d>" + chain(3) + "</d><!-- c --><?pi?>";
  EXPECT_TRUE(prepared(after, 4));
  EXPECT_FALSE(prepared(after, 3));
  EXPECT_TRUE(prepared("<?pi?><d/>", 1));
  EXPECT_FALSE(prepared("<?pi?><d/>", 0));
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
