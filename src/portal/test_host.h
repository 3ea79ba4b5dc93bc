// A host for unit tests: answers from plain maps and records what the portal
// asked, so a test can state its expectation in one line.
#ifndef ORLIX_PORTAL_TEST_HOST_H
#define ORLIX_PORTAL_TEST_HOST_H

#include <functional>
#include <map>
#include <vector>

#include "portal/host/portal_host.h"
#include "portal/properties.h"

namespace ORLIX {
namespace Portals {
namespace testing {

struct SentMessage {
  String text;
  String analysisName;
  int evalId;
  int level;
};

struct CommandRun {
  String program;
  StringList arguments;
  String folder;
  StringStringMap options;
};

struct ReportedResponse {
  String name;
  StringStringMap context;
  ResponseValues values;
};

class TestService : public IPortalService {
 public:
  String type() const override { return typeName; }
  String name() const override { return "TestService"; }
  IProperties& properties() override { return emptyProperties(); }
  void* getInterface(int) override { return nullptr; }
  String parameterValue(const String& paramType, const String& paramName,
                        const String& filePath, const String& format, String& message) override;
  void analysisProperty(const String& analysisName, const String& propertyKey,
                        StringStringMap& out) override;
  void reportResponse(const String& responseName, const StringStringMap& context,
                      const ResponseValues& values) override;

  String typeName = "Portal";
  std::map<String, String> parameters;
  // Called with the parameter's name before its value is answered.
  std::function<void(const String&)> onParameterValue;
  // analysis name -> property key -> map
  std::map<String, std::map<String, StringStringMap>> analysisProperties;
  std::vector<String> propertyRequests;  // "analysis/key", in order
  std::vector<ReportedResponse> reports;
};

class TestHost : public IPortalHost {
 public:
  void message(const String& text, const String& analysisName, int evalId, int level) override;
  bool runCommand(const String& program, const StringList& arguments, String& workingFolder,
                  const StringStringMap& options) override;
  String setting(const String& key, const String& defaultValue) override;
  IExtension* extension(const String& type) override;

  // Lines "text@level" of every message, for compact assertions.
  std::vector<String> messageLines() const;

  TestService service;
  bool offerService = true;
  std::map<String, String> settings;
  std::vector<SentMessage> messages;
  std::vector<String> settingRequests;
  int extensionRequests = 0;
  std::vector<CommandRun> commandRuns;
  // Answers runCommand (after it is recorded); refuses when unset.
  std::function<bool(const CommandRun&)> onRunCommand;
};

// The whole content of a file, bytes as they are; empty when it cannot be read.
String readWholeFile(const String& path);

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnv {
 public:
  ScopedEnv(const String& name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  String name_;
  bool hadValue_;
  String oldValue_;
};

// A fresh folder under the test temp dir, removed with the object.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const String& path() const { return path_; }
  String file(const String& name) const { return path_ + "/" + name; }
  String write(const String& name, const String& content) const;

 private:
  String path_;
};

}  // namespace testing
}  // namespace Portals
}  // namespace ORLIX

#endif
