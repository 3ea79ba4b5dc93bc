// results.jsonl: one line per finished design, appended and flushed to disk
// the moment the design finishes, so a crash or a power cut at any instant
// leaves every finished design in it. It is the study's record: the tables and
// the report are made from it, and a resumed study reads it.
#ifndef PORTAL_HOST_STUDY_JOURNAL_H
#define PORTAL_HOST_STUDY_JOURNAL_H

#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "scenario_json.h"
#include "study/design_record.h"
#include "study/output_file.h"

namespace portalhost {

// A design as a JSON object: "design", "values", "status" ("ok" or "failed"),
// "responses" (name -> list of numbers, or a text), "messages", "seconds", and
// beside them "stage", "errors", "exitCode", "portalSeconds", "attempts",
// "earlierAttempts". Numbers JSON cannot hold are written "nan", "inf", "-inf";
// bytes that are not UTF-8 become U+FFFD.
Json recordToJson(const DesignRecord& record);
std::optional<DesignRecord> recordFromJson(const Json& json);

class Journal {
 public:
  // Opens `path` for appending, first cutting off a last line that a crash
  // left without its line feed; throws OutputError.
  explicit Journal(const std::string& path);
  ~Journal();
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  // Writes one line and waits until it is on disk; throws OutputError.
  void append(const DesignRecord& record);
  // Notes that design `number`'s solver runs as batch job `jobId`, so that a
  // resumed study waits for that job rather than submitting the design again.
  void appendSubmitted(std::uint64_t number, const std::string& jobId);

 private:
  void write(const std::string& line);

  std::string path_;
  int fd_ = -1;
};

struct JournalContents {
  std::vector<DesignRecord> records;
  std::map<std::uint64_t, std::string> submitted;  // design -> batch job, for designs with no record yet
  bool tornLastLine = false;  // the last line was cut short (a crash while writing) and was left out
  std::vector<std::string> badLines;  // other lines that are not a design, by line number
};

// Reads a journal in one pass, line by line; a missing file reads as empty.
JournalContents readJournal(const std::string& path);

}  // namespace portalhost

#endif
