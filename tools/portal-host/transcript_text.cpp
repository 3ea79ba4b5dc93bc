#include "transcript_text.h"

#include <cstring>
#include <utility>

#include "host_files.h"

namespace portalhost {
namespace {

// A call's element sits four levels deep in the transcript (the transcript,
// "steps", the step, "host"), its kind one deeper and the kind's keys two.
constexpr std::size_t kCallIndent = 8;
constexpr std::size_t kKindIndent = 10;
constexpr std::size_t kFieldIndent = 12;
// A step sits two levels deep, its "host" three.
constexpr std::size_t kStepIndent = 4;
constexpr std::size_t kHostIndent = 6;

void appendIndented(std::string& out, const std::string& text, std::size_t indent) {
  std::size_t start = 0;
  for (;;) {
    const void* feed = std::memchr(text.data() + start, '\n', text.size() - start);
    if (feed == nullptr) break;
    const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(feed) - text.data()) + 1;
    out.append(text, start, end - start);
    out.append(indent, ' ');
    start = end;
  }
  out.append(text, start, std::string::npos);
}

// Printable ASCII without a quote or a backslash stands in a JSON string as
// it is; anything else (a control character to escape, bytes that may not be
// UTF-8 and are printed as U+FFFD) is left to the JSON library.
bool printsAsItIs(const std::string& text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte > 0x7e || byte == '"' || byte == '\\') return false;
  }
  return true;
}

void appendKey(std::string& out, const char* key, std::size_t indent) {
  out.append(indent, ' ');
  out += '"';
  out += key;
  out += "\": ";
}

}  // namespace

void appendJsonString(std::string& out, const std::string& text, const std::string& workPath) {
  const bool holdsWork = !workPath.empty() && text.find(workPath) != std::string::npos;
  if (holdsWork || !printsAsItIs(text)) {
    appendJsonValue(out, Json(text), workPath, 0);
    return;
  }
  out += '"';
  out += text;
  out += '"';
}

void appendJsonValue(std::string& out, Json value, const std::string& workPath, std::size_t indent) {
  restoreWork(value, workPath);
  appendIndented(out, value.dump(2, ' ', false, Json::error_handler_t::replace), indent);
}

void HostCallText::beginCall(const char* kind) {
  if (count_ > 0) text_ += ",\n";
  ++count_;
  text_.append(kCallIndent, ' ');
  text_ += "{\n";
  appendKey(text_, kind, kKindIndent);
  text_ += '{';
  firstField_ = true;
}

void HostCallText::beginField(const char* key) {
  text_ += firstField_ ? "\n" : ",\n";
  firstField_ = false;
  appendKey(text_, key, kFieldIndent);
}

void HostCallText::field(const char* key, const std::string& value) {
  beginField(key);
  appendJsonString(text_, value, workPath_);
}

void HostCallText::field(const char* key, int value) {
  beginField(key);
  text_ += std::to_string(value);
}

void HostCallText::field(const char* key, const Json& value) {
  beginField(key);
  appendJsonValue(text_, value, workPath_, kFieldIndent);
}

void HostCallText::endCall(bool anyField) {
  if (anyField) {
    text_ += '\n';
    text_.append(kKindIndent, ' ');
  }
  text_ += "}\n";
  text_.append(kCallIndent, ' ');
  text_ += '}';
}

TranscriptText::TranscriptText(std::string workPath)
    : workPath_(std::move(workPath)), text_("{\n  \"steps\": [") {}

void TranscriptText::addStep(Json record, const HostCallText& calls) {
  text_ += steps_ == 0 ? "\n" : ",\n";
  ++steps_;
  text_.append(kStepIndent, ' ');
  std::string own;
  appendJsonValue(own, std::move(record), workPath_, kStepIndent);
  // The record's closing brace makes way for "host", its last key.
  own.pop_back();
  const bool anyKey = own.back() == ' ';
  if (anyKey) {
    own.resize(own.size() - kStepIndent - 1);  // the line feed and indent before the brace
    own += ',';
  }
  text_ += own;
  text_ += '\n';
  appendKey(text_, "host", kHostIndent);
  if (calls.size() == 0) {
    text_ += "[]";
  } else {
    text_ += "[\n";
    text_ += calls.text();
    text_ += '\n';
    text_.append(kHostIndent, ' ');
    text_ += ']';
  }
  text_ += '\n';
  text_.append(kStepIndent, ' ');
  text_ += '}';
}

std::string TranscriptText::finish() {
  if (steps_ == 0) {
    text_ += "]\n}\n";
  } else {
    text_ += "\n  ]\n}\n";
  }
  return std::move(text_);
}

}  // namespace portalhost
