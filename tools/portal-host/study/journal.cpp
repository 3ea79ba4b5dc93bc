#include "study/journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace portalhost {
namespace {

Json number(double x) {
  if (std::isnan(x)) return "nan";
  if (std::isinf(x)) return x > 0 ? "inf" : "-inf";
  return x;
}

std::optional<double> numberFrom(const Json& json) {
  if (json.is_number()) return json.get<double>();
  if (json == "nan") return std::nan("");
  if (json == "inf") return HUGE_VAL;
  if (json == "-inf") return -HUGE_VAL;
  return std::nullopt;
}

std::string joined(const std::vector<std::string>& texts) {
  std::string out;
  for (std::size_t i = 0; i < texts.size(); ++i) out += (i ? "\n" : "") + texts[i];
  return out;
}

}  // namespace

Json recordToJson(const DesignRecord& record) {
  Json json = Json::object();
  json["design"] = record.design;
  Json values = Json::object();
  for (const auto& [name, value] : record.values) values[name] = number(value);
  json["values"] = values;
  json["status"] = record.ok ? "ok" : "failed";
  if (!record.ok) json["stage"] = record.stage;
  Json responses = Json::object(), errors = Json::object();
  for (const ResponseResult& r : record.responses) {
    if (!r.error.empty()) {
      errors[r.name] = r.error;
    } else if (!r.texts.empty() && r.numbers.empty()) {
      responses[r.name] = joined(r.texts);
    } else {
      Json list = Json::array();
      for (double x : r.numbers) list.push_back(number(x));
      responses[r.name] = list;
    }
  }
  json["responses"] = responses;
  if (!errors.empty()) json["errors"] = errors;
  json["messages"] = record.messages;
  json["exitCode"] = record.exitCode;
  json["seconds"] = record.seconds;
  json["portalSeconds"] = record.portalSeconds;
  json["attempts"] = record.attempts;
  if (!record.earlierAttempts.empty()) json["earlierAttempts"] = record.earlierAttempts;
  if (!record.jobId.empty()) json["jobId"] = record.jobId;
  return json;
}

std::optional<DesignRecord> recordFromJson(const Json& json) {
  try {
    DesignRecord record;
    // Only values of the right kind are converted: a number out of a type's
    // range would not convert to anything meaningful.
    if (!json.at("design").is_number_unsigned() || !json.at("values").is_object() ||
        !json.at("responses").is_object() || !json.at("messages").is_array()) {
      return std::nullopt;
    }
    for (const char* key : {"exitCode", "attempts"}) {
      if (json.contains(key) && (!json[key].is_number_integer() || json[key].get<std::int64_t>() < INT32_MIN ||
                                 json[key].get<std::int64_t>() > INT32_MAX)) {
        return std::nullopt;
      }
    }
    record.design = json.at("design").get<std::uint64_t>();
    for (const auto& item : json.at("values").items()) {
      const std::optional<double> x = numberFrom(item.value());
      if (!x) return std::nullopt;
      record.values.emplace_back(item.key(), *x);
    }
    record.ok = json.at("status") == "ok";
    if (json.contains("stage")) record.stage = json["stage"].get<std::string>();
    for (const auto& item : json.at("responses").items()) {
      ResponseResult r;
      r.name = item.key();
      if (item.value().is_string()) {
        r.texts.push_back(item.value().get<std::string>());
      } else {
        for (const Json& x : item.value()) {
          const std::optional<double> value = numberFrom(x);
          if (!value) return std::nullopt;
          r.numbers.push_back(*value);
        }
      }
      record.responses.push_back(r);
    }
    if (json.contains("errors")) {
      for (const auto& item : json["errors"].items()) {
        record.responses.push_back({item.key(), {}, {}, item.value().get<std::string>()});
      }
    }
    record.messages = json.at("messages").get<std::vector<std::string>>();
    if (json.contains("exitCode")) record.exitCode = json["exitCode"].get<int>();
    if (json.contains("seconds")) record.seconds = json["seconds"].get<double>();
    if (json.contains("portalSeconds")) record.portalSeconds = json["portalSeconds"].get<double>();
    if (json.contains("attempts")) record.attempts = json["attempts"].get<int>();
    if (json.contains("earlierAttempts")) record.earlierAttempts = json["earlierAttempts"].get<std::vector<std::string>>();
    if (json.contains("jobId")) record.jobId = json["jobId"].get<std::string>();
    return record;
  } catch (const Json::exception&) {
    return std::nullopt;
  }
}

Journal::Journal(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd_ < 0) throw OutputError(path + ": cannot be written: " + std::strerror(errno));
  // A line after a torn one would be read as part of it: the torn one goes.
  const off_t size = ::lseek(fd_, 0, SEEK_END);
  off_t end = size;
  char byte = '\n';
  while (end > 0 && ::pread(fd_, &byte, 1, end - 1) == 1 && byte != '\n') --end;
  if (end != size && ::ftruncate(fd_, end) != 0) {
    const int error = errno;
    ::close(fd_);
    throw OutputError(path + ": cannot be written: " + std::strerror(error));
  }
}

Journal::~Journal() {
  if (fd_ >= 0) ::close(fd_);
}

void Journal::append(const DesignRecord& record) {
  write(recordToJson(record).dump(-1, ' ', false, Json::error_handler_t::replace) + "\n");
}

void Journal::appendSubmitted(std::uint64_t number, const std::string& jobId) {
  write(Json{{"design", number}, {"status", "submitted"}, {"jobId", jobId}}.dump(-1, ' ', false,
                                                                                 Json::error_handler_t::replace) +
        "\n");
}

void Journal::write(const std::string& line) {
  std::size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = ::write(fd_, line.data() + done, line.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw OutputError(path_ + ": cannot be written: " + std::strerror(errno));
    done += static_cast<std::size_t>(n);
  }
  if (::fdatasync(fd_) != 0) throw OutputError(path_ + ": cannot be flushed to disk: " + std::strerror(errno));
}

JournalContents readJournal(const std::string& path) {
  JournalContents contents;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  std::size_t number = 0;
  while (std::getline(in, line)) {
    ++number;
    // Only a crash leaves a line without its line feed, and only as the last one.
    const bool last = in.eof();
    if (line.empty()) continue;
    std::optional<DesignRecord> record;
    Json json;
    try {
      json = Json::parse(line);
      if (json.is_object() && json.value("status", "") == "submitted" && json["design"].is_number_unsigned() &&
          json["jobId"].is_string()) {
        contents.submitted[json["design"].get<std::uint64_t>()] = json["jobId"].get<std::string>();
        continue;
      }
      record = recordFromJson(json);
    } catch (const Json::exception&) {
    }
    if (record) {
      contents.submitted.erase(record->design);
      contents.records.push_back(std::move(*record));
    } else if (last) {
      contents.tornLastLine = true;
    } else {
      contents.badLines.push_back("line " + std::to_string(number));
    }
  }
  return contents;
}

}  // namespace portalhost
