#include "result_list.h"

#include "request_file.h"

namespace tallex {

void ResultCatalogue::resultBegins(const ResultHeader& result) {
  ListedResult listed;
  listed.nature = result.nature;
  listed.name = result.name;
  for (const ScalarTransform& scalar : result.scalars) listed.scalars.push_back(Choice{scalar.code, scalar.name});
  for (const Support& support : result.supports) listed.supports.push_back(Choice{support.location, support.name});
  listed.selections = result.selections;
  results_.push_back(std::move(listed));
  timeChoiceOffered_ = false;
}

bool ResultCatalogue::stepBegins(const Step& step) {
  std::vector<Choice>& references = results_.back().references;
  Choice choice;
  switch (step.reference) {
    case ReferenceKind::None:
      return false;
    case ReferenceKind::Time:
      if (!timeChoiceOffered_) {
        references.push_back(Choice{kAnyTimeChoice, kAnyTimeChoice});
        timeChoiceOffered_ = true;
      }
      choice.code = "Time " + formatNumber(step.time);
      choice.text = choice.code;
      break;
    case ReferenceKind::Code:
      choice.code = step.code;
      choice.text = step.text;
      break;
  }
  // Steps repeat a reference once per selection; the list names it once.
  for (const Choice& earlier : references)
    if (earlier.code == choice.code) return false;
  references.push_back(std::move(choice));
  return false;
}

namespace {

// The portal finds a block by the first header that begins with the reference,
// so every header of one kind gets the same number of digits: then none is the
// beginning of another.
class BlockNamer {
 public:
  explicit BlockNamer(std::size_t count) {
    for (std::size_t n = count; n >= 10; n /= 10) ++width_;
    if (width_ < 3) width_ = 3;
  }
  std::string name(const char* kind, std::size_t number) const {
    std::string digits = std::to_string(number);
    if (digits.size() < width_) digits.insert(0, width_ - digits.size(), '0');
    return std::string(".") + kind + "_" + digits;
  }

 private:
  std::size_t width_ = 1;
};

void field(AnswerOutput& out, std::string_view text) {
  out.put('"');
  out.put(text);
  out.put('"');
}

void dataLine(AnswerOutput& out, std::string_view f1, std::string_view f2, std::string_view f3, std::string_view f4) {
  field(out, f1);
  out.put(' ');
  field(out, f2);
  out.put(' ');
  field(out, f3);
  out.put(' ');
  field(out, f4);
  out.put('\n');
}

void choiceBlock(AnswerOutput& out, const std::string& header, const std::vector<Choice>& choices) {
  out.line(header);
  for (const Choice& choice : choices) dataLine(out, choice.code, choice.text, "", "");
}

// File names may hold anything; a comment must stay on its line.
std::string printable(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  return out;
}

struct BlockNames {
  std::string scalars, supports, selections, references;
};

}  // namespace

void writeResultList(const std::vector<ListedResult>& results, std::string_view databaseName, AnswerOutput& out) {
  const BlockNamer namer(results.size());
  std::vector<BlockNames> names(results.size());
  std::size_t scalarBlocks = 0, selectionBlocks = 0, referenceBlocks = 0;
  for (std::size_t i = 0; i < results.size(); ++i) {
    const ListedResult& result = results[i];
    if (!result.scalars.empty()) names[i].scalars = namer.name("TOSCALAR", ++scalarBlocks);
    names[i].supports = namer.name("SUPPORT", i + 1);
    if (!result.selections.empty()) names[i].selections = namer.name("SELECTION", ++selectionBlocks);
    if (!result.references.empty()) names[i].references = namer.name("REFERENCES", ++referenceBlocks);
  }

  out.line(kResultListCommand);
  out.line("! " + std::to_string(results.size()) + " result(s) in " + printable(databaseName));
  out.line(".MAIN");
  for (std::size_t i = 0; i < results.size(); ++i)
    dataLine(out, results[i].nature, results[i].name, names[i].scalars, names[i].supports);
  for (std::size_t i = 0; i < results.size(); ++i) {
    const ListedResult& result = results[i];
    if (!result.scalars.empty()) choiceBlock(out, names[i].scalars, result.scalars);
    out.line(names[i].supports);
    for (const Choice& support : result.supports)
      dataLine(out, support.code, support.text, names[i].selections, names[i].references);
    if (!result.selections.empty()) choiceBlock(out, names[i].selections, result.selections);
    if (!result.references.empty()) choiceBlock(out, names[i].references, result.references);
  }
}

}  // namespace tallex
