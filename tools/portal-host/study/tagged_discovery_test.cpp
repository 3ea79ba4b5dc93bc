// portal-host params / responses with --tags: what a tag file writes where in
// an input, and what it reads from an output now; and a deck's discrete
// parameter shown by its value.
#include "study/study_test_fixture.h"

namespace studytest {
namespace {

class DiscoveryTest : public StudyTest {
 protected:
  void markTagFile(const std::string& name, const std::string& tagLines) {
    write(name, "$ File type, version\nmarking, 1\n$ Tag definition file: x\n$ Tag type, Num tags\nMARKING, 2\n"
                "$ Default delimited (free) parser\n\\s\n$ Default fixed parser\n10\n"
                "$ Mode, Row, Delims, Col, Param type, Param name, Print Fmt\n" + tagLines);
  }
};

TEST_F(DiscoveryTest, ParamsShowsTheLineEachParameterWrites) {
  markTagFile("M_in_toy_model.txt", "free, 2,\\s, 2, Continuous, E, %g\nfree, 3,\\s, 2, Continuous, h, %g\n");
  const HostRun run = portalHost("params model.txt --tags=M_in_toy_model.txt");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "E  model.txt line 2: E 1\nh  model.txt line 3: h 2\n");
  EXPECT_EQ(read("model.txt"), "# toy model\nE 1\nh 2\n");
}

TEST_F(DiscoveryTest, ParamsSaysWhenATagWritesNothing) {
  markTagFile("M_in_toy_model.txt", "free, 2,\\s, 2, Continuous, E, %g\nfree, 30,\\s, 2, Continuous, h, %g\n");
  const HostRun run = portalHost("params model.txt --tags M_in_toy_model.txt --json");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(Json::parse(run.out), Json::parse(R"([{"parameter": "E", "line": 2, "text": "E 1"},
                                                   {"parameter": "h", "line": null, "text": null}])"));
}

TEST_F(DiscoveryTest, ResponsesShowsWhatEachTagReadsNow) {
  write("out.txt", "result 10 7.5e-1\n");
  markTagFile("M_out_toy_out.txt", "free, 1,\\s, 2, Continuous, product, \nfree, 1,\\s, 9, Continuous, sum, \n");
  const HostRun run = portalHost("responses out.txt --tags M_out_toy_out.txt");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out.substr(0, 15), "product = 10\nsu");
  EXPECT_NE(run.out.find("sum = error: "), std::string::npos) << run.out;
}

TEST_F(DiscoveryTest, ADiscreteParameterShowsItsValueNotItsPosition) {
  write("deck.dat", "ABREMDIS /xPLIES/ /4.0/ ! plies\nABRE /xchoices_PLIES/ /2.0 4.0 8.0/\n");
  const HostRun run = portalHost("params deck.dat");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("  PLIES = 4.0  (discrete)  choices {2.0,4.0,8.0}  ! plies\n"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace studytest
