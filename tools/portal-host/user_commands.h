// The commands of portal-host, each run with its options already read from
// the command line (main.cpp), each returning the exit status.
#ifndef PORTAL_HOST_USER_COMMANDS_H
#define PORTAL_HOST_USER_COMMANDS_H

#include <string>

namespace portalhost {

// Exit statuses shared by the commands.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // designs failed; check: the transcripts differ
constexpr int kExitUsage = 2;   // the scenario, study file or command line is wrong
constexpr int kExitLibrary = 3;
constexpr int kExitOutput = 4;  // the output folder cannot be written
constexpr int kExitInterrupted = 130;

struct ScenarioOptions {
  std::string scenario;
  std::string expected;  // check: the expected transcript; empty: beside the scenario
  std::string portal;    // empty: the library beside portal-host
  std::string out;
  bool keep = false;
  bool compare = false;  // check rather than replay
};
int scenarioCommand(const ScenarioOptions& options);

struct StudyOptions {
  std::string studyFile;
  std::string out;
  std::string portal;
  std::string launcher = "local";
  int jobs = 0;  // 0: one per core
  int retries = 0;
  double pollSeconds = 0;  // 0: what the portal asks for
  bool check = false;
  bool resume = false;
  bool force = false;
};
int studyCommand(const StudyOptions& options);

struct DiscoveryOptions {
  std::string file;
  std::string tags;  // a tag file: what it writes (params) or reads (responses) in `file`
  std::string portal;
  std::string modules = "static";
  std::string solver = "brisol";
  bool json = false;
};
int paramsCommand(const DiscoveryOptions& options);
int responsesCommand(const DiscoveryOptions& options);

// The folder of portal-host, where the solver stand-ins are built too. It is
// searched after the user's PATH, never before, so a solver the user names is
// the user's.
std::string ownFolder();
void appendOwnFolderToPath();

}  // namespace portalhost

#endif
