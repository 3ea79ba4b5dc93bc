#include "results_database.h"

#include <gtest/gtest.h>

#include <string>

#include "answer_output.h"

namespace tallex {
namespace {

// Writes what the reader hands over as one line per event.
class Recorder : public DatabaseVisitor {
 public:
  explicit Recorder(bool wantRows = true) : wantRows_(wantRows) {}

  void resultBegins(const ResultHeader& r) override {
    log += "result " + r.nature + " \"" + r.name + "\" ids=" + std::to_string(r.idKinds.size()) +
           " components=" + std::to_string(r.components.size()) + " scalars=" + std::to_string(r.scalars.size()) +
           " supports=" + std::to_string(r.supports.size()) + " selections=" + std::to_string(r.selections.size()) +
           "\n";
    header_ = &r;
  }
  bool stepBegins(const Step& s) override {
    log += "step";
    if (s.reference == ReferenceKind::Time) log += " time " + formatNumber(s.time);
    if (s.reference == ReferenceKind::Code) log += " code " + s.code + " \"" + s.text + "\"";
    if (s.selection >= 0) log += " selection " + header_->selections[s.selection].code;
    log += "\n";
    return wantRows_;
  }
  void row(const std::int64_t* ids, const double* components) override {
    log += " ";
    for (std::size_t k = 0; k < header_->idKinds.size(); ++k) log += std::to_string(ids[k]) + " ";
    for (std::size_t k = 0; k < header_->components.size(); ++k) log += formatNumber(components[k]) + " ";
    log += "\n";
  }
  void resultEnds() override { log += "end\n"; }

  std::string log;

 private:
  bool wantRows_;
  const ResultHeader* header_ = nullptr;
};

const std::string kHead = "$$TALLEX_RESULTS 1\n";

const std::string kResultHeader =
    "RESULT \"DISP\" \"Nodal displacements\"\n"
    "IDS Node\n"
    "COMPONENTS UX UZ\n"
    "SCALAR \"TZ\" \"Translation Z\" COMPONENT UZ\n"
    "SUPPORT \"Node %d\" \"Node\"\n";

class DatabaseReading : public ::testing::Test {
 protected:
  // The reader's error for `text`, which must be refused.
  std::string errorFor(const std::string& text) {
    LineReader lines(text);
    Recorder recorder;
    std::string error;
    EXPECT_FALSE(readDatabase(lines, recorder, error)) << recorder.log;
    return error;
  }
  // The events for `text`, which must be accepted.
  std::string eventsFor(const std::string& text, bool wantRows = true) {
    LineReader lines(text);
    Recorder recorder(wantRows);
    std::string error;
    EXPECT_TRUE(readDatabase(lines, recorder, error)) << error;
    return recorder.log;
  }
  std::string errorInResult(const std::string& body) { return errorFor(kHead + kResultHeader + body); }
};

TEST_F(DatabaseReading, HandsOverHeadersStepsAndRowsInFileOrder) {
  const std::string text =
      "$$TALLEX_RESULTS 1\r\n"
      "! written by a test\n"
      "\n" +
      kResultHeader +
      "STEP TIME 0.5\n"
      "  1 0 -1.5e-3\r\n"
      "2\t+2 -0.25\n"
      "STEP TIME 1\n"
      "1 0 0\n"
      "END\n"
      "RESULT \"STRS\" \"Stresses\"\n"
      "IDS Element Node\n"
      "COMPONENTS SXX\n"
      "SUPPORT \"ELEMENTS\" \"All elements\"\n"
      "SELECTION \"TOP\" \"Top fibre\"\n"
      "STEP \"LC1\" \"Load case 1\" SELECTION \"TOP\"\n"
      "7 8 1e8\n"
      "END\n"
      "RESULT \"EMPTY\" \"Nothing stored\"\n"
      "IDS Node\n"
      "COMPONENTS P\n"
      "SUPPORT \"NODES\" \"All nodes\"\n"
      "END\n";
  EXPECT_EQ(
      "result DISP \"Nodal displacements\" ids=1 components=2 scalars=1 supports=1 selections=0\n"
      "step time 0.5\n"
      " 1 0 -0.0015 \n"
      " 2 2 -0.25 \n"
      "step time 1\n"
      " 1 0 0 \n"
      "end\n"
      "result STRS \"Stresses\" ids=2 components=1 scalars=0 supports=1 selections=1\n"
      "step code LC1 \"Load case 1\" selection TOP\n"
      " 7 8 1e+08 \n"
      "end\n"
      "result EMPTY \"Nothing stored\" ids=1 components=1 scalars=0 supports=1 selections=0\n"
      "end\n",
      eventsFor(text));
}

TEST_F(DatabaseReading, RowsGoOnlyToAVisitorThatWantsThem) {
  EXPECT_EQ(
      "result DISP \"Nodal displacements\" ids=1 components=2 scalars=1 supports=1 selections=0\n"
      "step\nend\n",
      eventsFor(kHead + kResultHeader + "STEP\n1 2 3\nEND\n", false));
}

TEST_F(DatabaseReading, ADatabaseWithoutResultsIsValid) { EXPECT_EQ("", eventsFor(kHead + "! nothing yet\n")); }

TEST_F(DatabaseReading, RefusesWhatIsNotADatabaseOfThisVersion) {
  EXPECT_EQ("the file is empty; a results database begins with \"$$TALLEX_RESULTS 1\"", errorFor(""));
  EXPECT_EQ("line 1: expected \"$$TALLEX_RESULTS 1\", found \"RESULT \"DISP\" \"D\"\"; this is not a results database",
            errorFor("RESULT \"DISP\" \"D\"\n"));
  EXPECT_EQ("line 1: unsupported database version \"2\"; this program reads version 1",
            errorFor("$$TALLEX_RESULTS 2\n"));
  EXPECT_EQ("line 1: expected \"$$TALLEX_RESULTS 1\", found \"?ELF?\"; this is not a results database",
            errorFor("\x7f"
                     "ELF\x01\n"));
}

TEST_F(DatabaseReading, RefusesATruncatedFile) {
  EXPECT_EQ("result \"DISP\" (line 2) has no END; the file may be truncated",
            errorInResult("STEP TIME 1\n1 0 0\n2 0 0\n"));
  EXPECT_EQ("line 9: a row of 2 numbers; result \"DISP\" needs 1 identifiers (Node) and 2 components (UX, UZ)",
            errorInResult("STEP TIME 1\n1 0 0\n2 0"));
}

TEST_F(DatabaseReading, RefusesRowsThatDoNotFitTheResult) {
  EXPECT_EQ("line 8: a row of 4 numbers; result \"DISP\" needs 1 identifiers (Node) and 2 components (UX, UZ)",
            errorInResult("STEP\n1 0 0 0\nEND\n"));
  EXPECT_EQ("line 8: the identifier \"1.5\" is not an integer", errorInResult("STEP\n1.5 0 0\nEND\n"));
  EXPECT_EQ("line 8: the value \"nan\" is not a finite number", errorInResult("STEP\n1 nan 0\nEND\n"));
  EXPECT_EQ("line 8: the value \"1e999\" is not a finite number", errorInResult("STEP\n1 1e999 0\nEND\n"));
  EXPECT_EQ("line 8: the value \"0x10\" is not a finite number", errorInResult("STEP\n1 0x10 0\nEND\n"));
  EXPECT_EQ("line 7: values before the first STEP of result \"DISP\"", errorInResult("1 0 0\nEND\n"));
}

TEST_F(DatabaseReading, RefusesStepsThatCannotBeToldApart) {
  EXPECT_EQ("line 9: a second STEP with the same reference and selection in result \"DISP\"",
            errorInResult("STEP TIME 1\n1 0 0\nSTEP TIME 1.0\nEND\n"));
  EXPECT_EQ("line 8: the steps of result \"DISP\" mix references: use TIME for all, codes for all, or neither",
            errorInResult("STEP TIME 1\nSTEP \"LC1\" \"Load case 1\"\nEND\n"));
  EXPECT_EQ(
      "line 10: step \"LC1\" has the texts \"Load case 1\" and \"Other\"",
      errorInResult("SELECTION \"A\" \"a\"\nSELECTION \"B\" \"b\"\n"
                    "STEP \"LC1\" \"Load case 1\" SELECTION \"A\"\nSTEP \"LC1\" \"Other\" SELECTION \"B\"\nEND\n"));
  EXPECT_EQ("line 7: STEP TIME needs a number", errorInResult("STEP TIME\nEND\n"));
  EXPECT_EQ("line 7: the time \"inf\" is not a finite number", errorInResult("STEP TIME inf\nEND\n"));
}

TEST_F(DatabaseReading, RefusesSelectionsThatAreNotDeclaredOrMissing) {
  EXPECT_EQ("line 7: STEP names selection \"TOP\", which result \"DISP\" does not declare",
            errorInResult("STEP SELECTION \"TOP\"\nEND\n"));
  EXPECT_EQ("line 8: STEP of result \"DISP\" names no selection; it declares SELECTION lines",
            errorInResult("SELECTION \"TOP\" \"Top\"\nSTEP TIME 1\nEND\n"));
  EXPECT_EQ("line 7: expected STEP [TIME <t> | \"<code>\" \"<text>\"] [SELECTION \"<code>\"]",
            errorInResult("STEP TIME 1 LAYER \"TOP\"\nEND\n"));
}

TEST_F(DatabaseReading, RefusesHeadersARequestCouldNotGetPast) {
  const std::string start = kHead + "RESULT \"DISP\" \"D\"\n";
  EXPECT_EQ("line 3: result \"DISP\" has no IDS line", errorFor(start + "END\n"));
  EXPECT_EQ("line 4: result \"DISP\" has no COMPONENTS line", errorFor(start + "IDS Node\nEND\n"));
  EXPECT_EQ("line 5: result \"DISP\" has no SUPPORT line", errorFor(start + "IDS Node\nCOMPONENTS P\nEND\n"));
  EXPECT_EQ("line 6: result \"DISP\" stores 2 components but has no SCALAR line saying how to make one number of them",
            errorFor(start + "IDS Node\nCOMPONENTS UX UY\nSUPPORT \"NODES\" \"All\"\nSTEP\n"));
  EXPECT_EQ("line 5: SCALAR \"M\" uses \"UZ\", which is not among the components (UX, UY)",
            errorFor(start + "IDS Node\nCOMPONENTS UX UY\nSCALAR \"M\" \"Magnitude\" MAGNITUDE UX UZ\n"));
  EXPECT_EQ("line 5: SCALAR needs COMPONENT, MAGNITUDE or VONMISES after its name",
            errorFor(start + "IDS Node\nCOMPONENTS UX\nSCALAR \"M\" \"Magnitude\" LENGTH UX\n"));
  EXPECT_EQ("line 3: SCALAR before COMPONENTS in result \"DISP\"",
            errorFor(start + "SCALAR \"M\" \"M\" COMPONENT UX\n"));
  EXPECT_EQ("line 3: SUPPORT before IDS in result \"DISP\"", errorFor(start + "SUPPORT \"NODES\" \"All\"\n"));
  EXPECT_EQ("line 3: identifier kind \"2nd\" is not a name (a letter, then letters, digits or '_')",
            errorFor(start + "IDS Node 2nd\n"));
  EXPECT_EQ("line 3: component \"UX\" appears twice", errorFor(start + "COMPONENTS UX UY UX\n"));
  EXPECT_EQ("line 4: \"%d\" in location \"Ply %d\" does not follow an identifier kind of the result",
            errorFor(start + "IDS Node\nSUPPORT \"Ply %d\" \"Ply\"\n"));
  EXPECT_EQ("line 5: a second SUPPORT \"Node  %d\" in result \"DISP\"",
            errorFor(start + "IDS Node\nSUPPORT \"Node %d\" \"Node\"\nSUPPORT \"Node  %d\" \"Again\"\n"));
}

TEST_F(DatabaseReading, RefusesTextsThatWouldNotSurviveTheResultList) {
  EXPECT_EQ("line 2: the nature code is empty", errorFor(kHead + "RESULT \"\" \"D\"\n"));
  EXPECT_EQ("line 2: the result name \" D\" begins or ends with a blank", errorFor(kHead + "RESULT \"DISP\" \" D\"\n"));
  EXPECT_EQ("line 2: RESULT needs the result name between double quotes", errorFor(kHead + "RESULT \"DISP\" D\n"));
  EXPECT_EQ("line 2: a double-quoted text is not closed", errorFor(kHead + "RESULT \"DISP\" \"D\n"));
  EXPECT_EQ("line 2: a closing double quote must be followed by a blank",
            errorFor(kHead + "RESULT \"DI\"SP\" \"D\"\n"));
  EXPECT_EQ("line 2: the result name \"A?B\" holds a control character", errorFor(kHead + "RESULT \"DISP\" \"A\x01"
                                                                                          "B\"\n"));
  EXPECT_EQ("line 2: the result name \"%%%E x\" begins with \"$$\" or \"%%%\"",
            errorFor(kHead + "RESULT \"P\" \"%%%E x\"\n"));
  EXPECT_EQ("line 2: expected RESULT \"<nature>\" \"<name>\"", errorFor(kHead + "RESULT \"DISP\" \"D\" extra\n"));
}

TEST_F(DatabaseReading, RefusesKeywordsOutOfPlace) {
  EXPECT_EQ("line 2: expected RESULT, found \"STEP TIME 1\"", errorFor(kHead + "STEP TIME 1\n"));
  EXPECT_EQ("line 8: COMPONENTS after the first STEP of result \"DISP\"", errorInResult("STEP\nCOMPONENTS UY\n"));
  EXPECT_EQ("line 7: unknown keyword \"LAYER\" in result \"DISP\"", errorInResult("LAYER 1\n"));
  EXPECT_EQ("line 7: RESULT inside result \"DISP\", which has no END yet", errorInResult("RESULT \"B\" \"B\"\n"));
  EXPECT_EQ("line 7: expected nothing after END", errorInResult("END now\n"));
  EXPECT_EQ("line 8: a second result \"DISP\"", errorInResult("END\n" + kResultHeader));
}

}  // namespace
}  // namespace tallex
