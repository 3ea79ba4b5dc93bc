#include "solver_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "test_folder.h"

namespace brisol {
namespace {

class SolverRun : public TestFolder {
 protected:
  int run(const std::string& deck, const char* delay = nullptr) {
    RunOptions options;
    options.delay = delay;
    err_.str("");
    return runDeck(path(deck), options, err_);
  }

  std::vector<std::string> logLines(const std::string& name) {
    std::istringstream in(read(name));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  std::vector<std::string> linesStartingWith(const std::string& name, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : logLines(name)) {
      if (line.rfind(prefix, 0) == 0) found.push_back(line);
    }
    return found;
  }

  std::ostringstream err_;
};

TEST_F(SolverRun, AStaticRunLeavesItsLogDatabaseAndModuleFiles) {
  write("plate.dat", kCantileverDeck + "MODULES static\nRETURN\n");
  ASSERT_EQ(0, run("plate.dat")) << err_.str();
  const std::vector<std::string> log = logLines("plate.log");
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ("Brisol stand-in solver: deck plate.dat", log.front());
  EXPECT_EQ("FAC Pointers static", log[log.size() - 2]);
  EXPECT_EQ("Run finished: 1 module(s), 0 warning(s)", log.back());
  EXPECT_EQ(0u,
            linesStartingWith("plate.log", "static:").at(0).find("static: tip load 500 N, tip deflection -7.4404761"));
  EXPECT_EQ(0u, linesStartingWith("plate.log", "%%%").size());
  EXPECT_EQ(0, read("plate.sdb").rfind("$$TALLEX_RESULTS 1\n", 0));
  EXPECT_TRUE(exists("plate_static.des"));
  EXPECT_TRUE(exists("plate_static.fac"));
  EXPECT_FALSE(exists("plate_modal.des"));
  EXPECT_FALSE(exists("plate.sdb.temp"));
  EXPECT_EQ("", err_.str());
}

TEST_F(SolverRun, EachModuleReportsAsItFinishesInTheDecksOrder) {
  write("beam.dat", kCantileverDeck + "MODULES modal, static\n");
  ASSERT_EQ(0, run("beam.dat")) << err_.str();
  EXPECT_EQ((std::vector<std::string>{"FAC Pointers modal", "FAC Pointers static"}),
            linesStartingWith("beam.log", "FAC Pointers"));
  const std::string database = read("beam.sdb");
  EXPECT_NE(std::string::npos, database.find("RESULT \"DISP\""));
  EXPECT_NE(std::string::npos, database.find("RESULT \"FREQ\""));
  for (const char* name : {"beam_static.des", "beam_static.fac", "beam_modal.des", "beam_modal.fac"}) {
    EXPECT_TRUE(exists(name)) << name;
  }
  EXPECT_NE(std::string::npos, read("beam_modal.des").find("density 7.85e-09 t/mm^3\n"));
  EXPECT_NE(std::string::npos, read("beam_static.fac").find("results beam.sdb\n"));
}

TEST_F(SolverRun, DeckErrorsGoIntoTheLogAndStopTheRunBeforeAnyModule) {
  write("plate.dat", kCantileverDeck + "ABRE /%HEIGHT/ /0/\nABRE /%ELEMENTS/ /x/\n");
  write("plate.sdb", "from an earlier run\n");
  write("plate_static.fac", "from an earlier run\n");
  EXPECT_EQ(1, run("plate.dat"));
  EXPECT_EQ((std::vector<std::string>{"%%%E HEIGHT on line 9 must be positive, found 0",
                                      "%%%E ELEMENTS on line 10: the value \"x\" is not a number"}),
            linesStartingWith("plate.log", "%%%"));
  EXPECT_EQ("Run stopped: 2 error(s)", logLines("plate.log").back());
  EXPECT_TRUE(linesStartingWith("plate.log", "FAC Pointers").empty());
  EXPECT_FALSE(exists("plate.sdb"));
  EXPECT_FALSE(exists("plate_static.fac"));
  EXPECT_NE(std::string::npos, err_.str().find("failed; see "));
}

TEST_F(SolverRun, AMissingDeckIsReportedInTheLogBesideIt) {
  EXPECT_EQ(1, run("absent.dat"));
  EXPECT_EQ((std::vector<std::string>{"%%%E Unable to open the deck \"" + path("absent.dat") +
                                      "\": No such file or directory"}),
            linesStartingWith("absent.log", "%%%"));
}

TEST_F(SolverRun, WithoutAWritableLogOnlyStandardErrorCanSaySo) {
  EXPECT_EQ(1, run("no-such-folder/plate.dat"));
  EXPECT_EQ(
      "brisol: unable to write the log file \"" + path("no-such-folder/plate.log") + "\": No such file or directory\n",
      err_.str());
}

TEST_F(SolverRun, WarningsGoIntoTheLogAndTheRunGoesOn) {
  write("plate.dat", kCantileverDeck + "ABRE /%X/\nMODULES static, buckling\n");
  ASSERT_EQ(0, run("plate.dat"));
  EXPECT_EQ((std::vector<std::string>{"%%%W line 9: abbreviation skipped: no blank between the name and the value",
                                      "%%%W line 10: unknown module \"buckling\" ignored (known: static, modal)"}),
            linesStartingWith("plate.log", "%%%"));
  EXPECT_EQ("Run finished: 1 module(s), 2 warning(s)", logLines("plate.log").back());
}

TEST_F(SolverRun, ALargeDeflectionIsWarnedAbout) {
  write("soft.dat", kCantileverDeck + "ABRE /%YOUNG/ /100/\n");
  ASSERT_EQ(0, run("soft.dat"));
  const std::vector<std::string> warnings = linesStartingWith("soft.log", "%%%W");
  ASSERT_EQ(1u, warnings.size());
  EXPECT_EQ(0u, warnings[0].find("%%%W static: the tip deflects by 1562.5% of the length"));
}

TEST_F(SolverRun, TheDelayHoldsBackEachModule) {
  write("plate.dat", kCantileverDeck + "MODULES static, modal\n");
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(0, run("plate.dat", "0.15"));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_TRUE(linesStartingWith("plate.log", "%%%").empty());
}

TEST_F(SolverRun, ADelayThatIsNotANumberIsWarnedAndIgnored) {
  write("plate.dat", kCantileverDeck);
  for (const char* delay : {"soon", "-1", "1e300", "0.5s"}) {
    ASSERT_EQ(0, run("plate.dat", delay));
    EXPECT_EQ((std::vector<std::string>{"%%%W BRISOL_STANDIN_DELAY=\"" + std::string(delay) +
                                        "\" is not a number of seconds from 0 to 3600; no delay"}),
              linesStartingWith("plate.log", "%%%"));
  }
}

TEST_F(SolverRun, TheBaseNameDropsOnlyTheLastExtension) {
  write("plate.v2.dat", kCantileverDeck);
  ASSERT_EQ(0, run("plate.v2.dat"));
  EXPECT_TRUE(exists("plate.v2.log"));
  EXPECT_TRUE(exists("plate.v2.sdb"));
  EXPECT_TRUE(exists("plate.v2_static.des"));
}

}  // namespace
}  // namespace brisol
