// The answer to $$RESULT_LIST_AVAILABLE: what the database offers, in the
// block layout the portal turns into its response catalogue (README.md).
#ifndef TALLEX_RESULT_LIST_H
#define TALLEX_RESULT_LIST_H

#include <string>
#include <string_view>
#include <vector>

#include "answer_output.h"
#include "results_database.h"

namespace tallex {

// One result as the list shows it. The reference choices come from the steps
// actually stored, so the list never offers a time that holds no values.
struct ListedResult {
  std::string nature;
  std::string name;
  std::vector<Choice> scalars;
  std::vector<Choice> supports;  // code = location code
  std::vector<Choice> selections;
  std::vector<Choice> references;
};

// Collects the list while the database is read; wants no rows.
class ResultCatalogue : public DatabaseVisitor {
 public:
  void resultBegins(const ResultHeader& result) override;
  bool stepBegins(const Step& step) override;
  void row(const std::int64_t*, const double*) override {}
  void resultEnds() override {}

  const std::vector<ListedResult>& results() const { return results_; }

 private:
  std::vector<ListedResult> results_;
  bool timeChoiceOffered_ = false;
};

// The reference choice that lets the user give any stored time; the portal
// recognises it by this text and substitutes the time into the code.
inline constexpr const char* kAnyTimeChoice = "Time %g";

// The whole answer, beginning with the line "$$RESULT_LIST_AVAILABLE".
// `databaseName` only goes into a comment line.
void writeResultList(const std::vector<ListedResult>& results, std::string_view databaseName, AnswerOutput& out);

}  // namespace tallex

#endif
