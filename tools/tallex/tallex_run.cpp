#include "tallex_run.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "answer_output.h"
#include "command_line.h"
#include "line_reader.h"
#include "request_file.h"
#include "result_list.h"
#include "results_database.h"
#include "value_query.h"

namespace tallex {
namespace {

// Hands the database to every collector at once, so that it is read once
// however many requests there are; rows go only to those that want them.
class FanOut : public DatabaseVisitor {
 public:
  void add(DatabaseVisitor& visitor) { all_.push_back(&visitor); }

  void resultBegins(const ResultHeader& result) override {
    for (DatabaseVisitor* visitor : all_) visitor->resultBegins(result);
  }
  bool stepBegins(const Step& step) override {
    active_.clear();
    for (DatabaseVisitor* visitor : all_)
      if (visitor->stepBegins(step)) active_.push_back(visitor);
    return !active_.empty();
  }
  void row(const std::int64_t* ids, const double* components) override {
    for (DatabaseVisitor* visitor : active_) visitor->row(ids, components);
  }
  void resultEnds() override {
    active_.clear();
    for (DatabaseVisitor* visitor : all_) visitor->resultEnds();
  }

 private:
  std::vector<DatabaseVisitor*> all_;
  std::vector<DatabaseVisitor*> active_;
};

// A message goes on one line of the answers file whatever names it quotes.
std::string oneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

void answerFailure(const std::string& answers, const std::string& line, std::ostream& diagnostics) {
  if (answers.empty()) return;
  std::FILE* file = std::fopen(answers.c_str(), "wb");
  if (!file || std::fprintf(file, "%%%%%%E %s\n", line.c_str()) < 0 || std::fclose(file) != 0)
    diagnostics << "tallex: cannot write the answers file \"" << answers << "\" either\n";
}

int failRun(const std::string& answers, const std::string& message, int exitCode, std::ostream& diagnostics) {
  const std::string line = oneLine(message);
  diagnostics << "tallex: " << line << '\n';
  if (exitCode == kExitUsage) diagnostics << kUsage;
  answerFailure(answers, line, diagnostics);
  return exitCode;
}

std::string describeErrno() { return std::strerror(errno); }

bool readWholeFile(const std::string& path, std::string& text, std::string& why) {
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    why = "it is a folder";
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    why = describeErrno();
    return false;
  }
  char chunk[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) why = "read error";
  return !failed;
}

struct Collectors {
  ResultCatalogue catalogue;
  std::vector<std::unique_ptr<ValueQuery>> queries;  // one per command; empty for the others
  FanOut fanOut;
};

void setUp(const std::vector<Command>& commands, Collectors& collectors) {
  collectors.fanOut.add(collectors.catalogue);
  for (const Command& command : commands) {
    if (command.kind != CommandKind::GetValue) {
      collectors.queries.emplace_back();
      continue;
    }
    collectors.queries.push_back(std::make_unique<ValueQuery>(command.line, command.request, command.malformed));
    collectors.fanOut.add(*collectors.queries.back());
  }
}

void writeAnswers(const std::vector<Command>& commands, const Collectors& collectors, const std::string& databaseName,
                  AnswerOutput& out) {
  for (std::size_t i = 0; i < commands.size(); ++i) {
    switch (commands[i].kind) {
      case CommandKind::ResultList:
        writeResultList(collectors.catalogue.results(), databaseName, out);
        break;
      case CommandKind::GetValue:
        collectors.queries[i]->writeAnswer(out);
        break;
      case CommandKind::Unknown:
        out.line("%%% Unknown command \"" + commands[i].line + "\"");
        break;
    }
  }
}

int run(const std::vector<std::string>& arguments, std::ostream& console, std::ostream& diagnostics) {
  std::vector<std::string> words;
  std::string why;
  if (const auto status = readOptions(arguments, words, why, console, diagnostics)) {
    // CLI11 has already said why on the diagnostics stream.
    if (*status != kExitAnswered)
      answerFailure(findAnswersFile(arguments), oneLine("Bad command line: " + why), diagnostics);
    return *status;
  }
  CommandLine line;
  if (!parseCommandLine(words, line, why))
    return failRun(findAnswersFile(arguments), "Bad command line: " + why, kExitUsage, diagnostics);

  std::string requestText;
  if (!readWholeFile(line.request, requestText, why))
    return failRun(line.answers, "Unable to read the request file \"" + line.request + "\": " + why, kExitFailed,
                   diagnostics);
  const std::vector<Command> commands = parseRequestFile(requestText);
  Collectors collectors;
  setUp(commands, collectors);

  const std::string cannotOpen = "Unable to open the results file \"" + line.results + "\": ";
  std::error_code ignored;
  if (std::filesystem::is_directory(line.results, ignored))
    return failRun(line.answers, cannotOpen + "it is a folder", kExitFailed, diagnostics);
  std::FILE* database = std::fopen(line.results.c_str(), "rb");
  if (!database) return failRun(line.answers, cannotOpen + describeErrno(), kExitFailed, diagnostics);
  LineReader lines(database);
  const bool readOk = readDatabase(lines, collectors.fanOut, why);
  std::fclose(database);
  if (!readOk)
    return failRun(line.answers, "Malformed results database \"" + line.results + "\": " + why, kExitFailed,
                   diagnostics);

  // Through a temporary file, so that the caller never reads half an answer.
  const std::string temporary = line.answers + ".temp";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file)
    return failRun(line.answers, "Unable to write the answers file \"" + temporary + "\": " + describeErrno(),
                   kExitFailed, diagnostics);
  AnswerOutput out(file);
  writeAnswers(commands, collectors, line.results, out);
  const bool written = out.finish();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed || std::rename(temporary.c_str(), line.answers.c_str()) != 0) {
    std::remove(temporary.c_str());
    return failRun(line.answers, "Unable to write the answers file \"" + line.answers + "\"", kExitFailed, diagnostics);
  }
  return kExitAnswered;
}

}  // namespace

int runTallex(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& diagnostics) {
  try {
    return run(arguments, out, diagnostics);
  } catch (const std::exception& exception) {
    return failRun(findAnswersFile(arguments), std::string("Internal error: ") + exception.what(), kExitFailed,
                   diagnostics);
  }
}

}  // namespace tallex
