// The transcript's text, printed a piece at a time as the replay goes. The
// calls the portal makes of the host are printed as they are made: a replay
// of a large model makes one parameterValue call per tagged field, tens of
// thousands, and a tree of them cost more to build, search for the work
// folder, print and free (each pass a walk over memory long out of the
// processor's cache) than the portal took to make the calls.
//
// The text is, byte for byte, what nlohmann::json's dump with an indent of 2
// prints of the same transcript held as a tree, with every occurrence of the
// work folder's path written as ${WORK} (restoreWork): scripts that read a
// transcript, and expected transcripts compared with it, see no difference.
#ifndef PORTAL_HOST_TRANSCRIPT_TEXT_H
#define PORTAL_HOST_TRANSCRIPT_TEXT_H

#include <cstddef>
#include <string>

#include "scenario_json.h"

namespace portalhost {

// `text` as a JSON string, the work folder's path written as ${WORK} (an
// empty path is never replaced).
void appendJsonString(std::string& out, const std::string& text, const std::string& workPath);
// `value` printed with an indent of 2, each line after its first indented by
// `indent` more spaces, the work folder's path written as ${WORK}.
void appendJsonValue(std::string& out, Json value, const std::string& workPath, std::size_t indent);

// The host calls of one step, as the elements of its "host" array: each
// {kind: {key: value, ...}}, values given as texts, whole numbers or JSON.
// Kinds and keys are the host's own names, printed as they are.
class HostCallText {
 public:
  explicit HostCallText(std::string workPath) : workPath_(std::move(workPath)) {}

  template <typename... Fields>
  void add(const char* kind, const Fields&... keysAndValues) {
    static_assert(sizeof...(Fields) % 2 == 0, "keys and values come in pairs");
    beginCall(kind);
    addFields(keysAndValues...);
    endCall(sizeof...(Fields) > 0);
  }

  void clear() {
    text_.clear();
    count_ = 0;
  }
  std::size_t size() const { return count_; }
  // The calls, separated as array elements, without the brackets.
  const std::string& text() const { return text_; }

 private:
  void addFields() {}
  template <typename Value, typename... Rest>
  void addFields(const char* key, const Value& value, const Rest&... rest) {
    field(key, value);
    addFields(rest...);
  }

  void beginCall(const char* kind);
  void beginField(const char* key);
  void field(const char* key, const std::string& value);
  void field(const char* key, int value);
  void field(const char* key, const Json& value);
  // A truth value would print as a number through the int overload.
  void field(const char* key, bool value) = delete;
  void endCall(bool anyField);

  std::string workPath_;
  std::string text_;
  std::size_t count_ = 0;
  bool firstField_ = true;
};

// The whole transcript, {"steps": [...]}, a step at a time.
class TranscriptText {
 public:
  explicit TranscriptText(std::string workPath);
  // `record` holds the step's own keys; the calls go last, as its "host".
  void addStep(Json record, const HostCallText& calls);
  // The text, ending with a line feed.
  std::string finish();

 private:
  std::string workPath_;
  std::string text_;
  std::size_t steps_ = 0;
};

}  // namespace portalhost

#endif
