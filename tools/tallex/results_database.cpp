#include "results_database.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <utility>

namespace tallex {
namespace {

// A word, or a double-quoted text (quotes removed).
struct Token {
  std::string_view text;
  bool quoted = false;
};

// Shows a piece of the file in a message without letting a binary file flood
// it or break its line.
std::string shown(std::string_view text) {
  constexpr std::size_t kLongest = 60;
  std::string out;
  for (std::size_t i = 0; i < text.size() && i < kLongest; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    out += c < 0x20 || c == 0x7f ? '?' : static_cast<char>(c);
  }
  if (text.size() > kLongest) out += "...";
  return "\"" + out + "\"";
}

bool tokenize(std::string_view line, std::vector<Token>& tokens, std::string& error) {
  tokens.clear();
  std::size_t i = 0;
  for (;;) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size()) return true;
    Token token;
    if (line[i] == '"') {
      const std::size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos) {
        error = "a double-quoted text is not closed";
        return false;
      }
      token.text = line.substr(i + 1, close - i - 1);
      token.quoted = true;
      i = close + 1;
      if (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        error = "a closing double quote must be followed by a blank";
        return false;
      }
    } else {
      const std::size_t start = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') {
        if (line[i] == '"') {
          error = "a double quote inside the word " + shown(line.substr(start, i - start + 1));
          return false;
        }
        ++i;
      }
      token.text = line.substr(start, i - start);
    }
    tokens.push_back(token);
  }
}

bool isName(std::string_view word) {
  if (word.empty() || !std::isalpha(static_cast<unsigned char>(word[0]))) return false;
  for (char c : word)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

std::string joinCodes(const std::vector<std::string>& codes) {
  std::string text;
  for (const std::string& code : codes) text += (text.empty() ? "" : ", ") + code;
  return text;
}

class Reader {
 public:
  Reader(LineReader& lines, DatabaseVisitor& visitor) : lines_(lines), visitor_(visitor) {}

  bool run(std::string& error) {
    const bool ok = readAll();
    if (!ok) error = error_;
    return ok;
  }

 private:
  enum class State { Outside, Header, Values };

  bool fail(const std::string& why) {
    error_ = "line " + std::to_string(lines_.lineNumber()) + ": " + why;
    return false;
  }

  std::string resultNamed() const { return "result \"" + header_.nature + "\""; }

  bool readAll() {
    std::string_view line;
    if (!lines_.next(line)) {
      if (!lines_.error().empty()) {
        error_ = lines_.error();
      } else {
        error_ = "the file is empty; a results database begins with \"" + std::string(kDatabaseMagic) + " " +
                 std::to_string(kDatabaseVersion) + "\"";
      }
      return false;
    }
    if (!readMagic(trimBlanks(line))) return false;
    while (lines_.next(line)) {
      const std::string_view text = trimBlanks(line);
      if (text.empty() || text[0] == '!') continue;
      if (!std::isalpha(static_cast<unsigned char>(text[0])) && state_ != State::Outside) {
        if (state_ == State::Header) return fail("values before the first STEP of " + resultNamed());
        if (!readRow(text)) return false;
      } else if (!readKeywordLine(text)) {
        return false;
      }
    }
    if (!lines_.error().empty()) {
      error_ = lines_.error();
      return false;
    }
    if (state_ != State::Outside) {
      error_ = resultNamed() + " (line " + std::to_string(resultLine_) + ") has no END; the file may be truncated";
      return false;
    }
    return true;
  }

  bool readMagic(std::string_view text) {
    const std::vector<std::string_view> words = splitWords(text);
    const std::string expected = std::string(kDatabaseMagic) + " " + std::to_string(kDatabaseVersion);
    if (words.size() != 2 || words[0] != kDatabaseMagic)
      return fail("expected \"" + expected + "\", found " + shown(text) + "; this is not a results database");
    int version = 0;
    const auto [end, status] = std::from_chars(words[1].data(), words[1].data() + words[1].size(), version);
    if (status != std::errc() || end != words[1].data() + words[1].size() || version != kDatabaseVersion)
      return fail("unsupported database version " + shown(words[1]) + "; this program reads version " +
                  std::to_string(kDatabaseVersion));
    return true;
  }

  bool readKeywordLine(std::string_view text) {
    std::string why;
    if (!tokenize(text, tokens_, why)) return fail(why);
    const std::string_view keyword = tokens_[0].quoted ? std::string_view() : tokens_[0].text;
    if (state_ == State::Outside) {
      if (keyword == "RESULT") return beginResult();
      return fail("expected RESULT, found " + shown(text));
    }
    if (keyword == "STEP") return (state_ == State::Values || finishHeader()) && beginStep();
    if (keyword == "END") return (state_ == State::Values || finishHeader()) && endResult();
    if (keyword == "RESULT") return fail("RESULT inside " + resultNamed() + ", which has no END yet");
    const bool headerKeyword = keyword == "IDS" || keyword == "COMPONENTS" || keyword == "SCALAR" ||
                               keyword == "SUPPORT" || keyword == "SELECTION";
    if (headerKeyword && state_ == State::Values)
      return fail(std::string(keyword) + " after the first STEP of " + resultNamed());
    if (keyword == "IDS") return readIds();
    if (keyword == "COMPONENTS") return readComponents();
    if (keyword == "SCALAR") return readScalar();
    if (keyword == "SUPPORT") return readSupport();
    if (keyword == "SELECTION") return readSelection();
    return fail("unknown keyword " + shown(tokens_[0].text) + " in " + resultNamed());
  }

  // A code or name between double quotes that survives the trip through the
  // result list and back: the portal trims fields and splits at quotes.
  bool quotedText(std::size_t index, const char* what, std::string& out) {
    if (index >= tokens_.size() || !tokens_[index].quoted)
      return fail(std::string(tokens_[0].text) + " needs " + what + " between double quotes");
    const std::string_view text = tokens_[index].text;
    if (text.empty()) return fail(std::string(what) + " is empty");
    if (trimBlanks(text).size() != text.size())
      return fail(std::string(what) + " " + shown(text) + " begins or ends with a blank");
    for (char c : text)
      if (static_cast<unsigned char>(c) < 0x20)
        return fail(std::string(what) + " " + shown(text) + " holds a control character");
    out = std::string(text);
    return true;
  }

  bool expectCount(std::size_t count, const char* form) {
    if (tokens_.size() != count) return fail(std::string("expected ") + form);
    return true;
  }

  bool beginResult() {
    header_ = ResultHeader();
    resultLine_ = lines_.lineNumber();
    if (!quotedText(1, "the nature code", header_.nature) || !quotedText(2, "the result name", header_.name) ||
        !expectCount(3, "RESULT \"<nature>\" \"<name>\""))
      return false;
    // The name opens a line of each value answer, where these would read as a
    // new answer or as an error of the run.
    if (header_.name.rfind("$$", 0) == 0 || header_.name.rfind("%%%", 0) == 0)
      return fail("the result name \"" + header_.name + "\" begins with \"$$\" or \"%%%\"");
    if (!natures_.insert(header_.nature).second) return fail("a second " + resultNamed());
    state_ = State::Header;
    referenceKind_ = ReferenceKind::None;
    stepCount_ = 0;
    stepKeys_.clear();
    codeTexts_.clear();
    return true;
  }

  // Words after the keyword, each a name, none twice.
  bool nameList(std::size_t from, const char* what, std::vector<std::string>& out) {
    out.clear();
    for (std::size_t i = from; i < tokens_.size(); ++i) {
      if (tokens_[i].quoted || !isName(tokens_[i].text))
        return fail(std::string(what) + " " + shown(tokens_[i].text) +
                    " is not a name (a letter, then letters, digits or '_')");
      for (const std::string& earlier : out)
        if (earlier == tokens_[i].text) return fail(std::string(what) + " " + shown(earlier) + " appears twice");
      out.emplace_back(tokens_[i].text);
    }
    if (out.empty()) return fail(std::string(tokens_[0].text) + " names no " + what);
    return true;
  }

  bool readIds() {
    if (!header_.idKinds.empty()) return fail("a second IDS line in " + resultNamed());
    return nameList(1, "identifier kind", header_.idKinds);
  }

  bool readComponents() {
    if (!header_.components.empty()) return fail("a second COMPONENTS line in " + resultNamed());
    return nameList(1, "component", header_.components);
  }

  bool readScalar() {
    if (header_.components.empty()) return fail("SCALAR before COMPONENTS in " + resultNamed());
    ScalarTransform scalar;
    if (!quotedText(1, "the transformation code", scalar.code) ||
        !quotedText(2, "the transformation name", scalar.name))
      return false;
    if (tokens_.size() < 4 || tokens_[3].quoted || !scalarKindFromKeyword(tokens_[3].text, scalar.kind))
      return fail("SCALAR needs COMPONENT, MAGNITUDE or VONMISES after its name");
    std::vector<std::string> used;
    if (!nameList(4, "component", used)) return false;
    for (const std::string& component : used) {
      std::size_t index = 0;
      while (index < header_.components.size() && header_.components[index] != component) ++index;
      if (index == header_.components.size())
        return fail("SCALAR \"" + scalar.code + "\" uses " + shown(component) +
                    ", which is not among the components (" + joinCodes(header_.components) + ")");
      scalar.components.push_back(index);
    }
    const std::string why = checkComponentCount(scalar.kind, scalar.components.size());
    if (!why.empty()) return fail(why);
    for (const ScalarTransform& other : header_.scalars)
      if (other.code == scalar.code) return fail("a second SCALAR \"" + scalar.code + "\" in " + resultNamed());
    header_.scalars.push_back(std::move(scalar));
    return true;
  }

  bool readSupport() {
    if (header_.idKinds.empty()) return fail("SUPPORT before IDS in " + resultNamed());
    Support support;
    if (!quotedText(1, "the location code", support.location) || !quotedText(2, "the support name", support.name) ||
        !expectCount(3, "SUPPORT \"<location>\" \"<name>\""))
      return false;
    std::string why;
    if (!support.pattern.parse(support.location, header_.idKinds, why)) return fail(why);
    for (const Support& other : header_.supports)
      if (other.pattern.normalized() == support.pattern.normalized())
        return fail("a second SUPPORT \"" + support.location + "\" in " + resultNamed());
    header_.supports.push_back(std::move(support));
    return true;
  }

  bool readSelection() {
    Choice choice;
    if (!quotedText(1, "the selection code", choice.code) || !quotedText(2, "the selection text", choice.text) ||
        !expectCount(3, "SELECTION \"<code>\" \"<text>\""))
      return false;
    for (const Choice& other : header_.selections)
      if (other.code == choice.code) return fail("a second SELECTION \"" + choice.code + "\" in " + resultNamed());
    header_.selections.push_back(std::move(choice));
    return true;
  }

  // Whatever a request could not get past is refused here, so that every
  // result a list shows can be asked for.
  bool finishHeader() {
    if (header_.idKinds.empty()) return fail(resultNamed() + " has no IDS line");
    if (header_.components.empty()) return fail(resultNamed() + " has no COMPONENTS line");
    if (header_.supports.empty()) return fail(resultNamed() + " has no SUPPORT line");
    if (header_.components.size() > 1 && header_.scalars.empty())
      return fail(resultNamed() + " stores " + std::to_string(header_.components.size()) +
                  " components but has no SCALAR line saying how to make one number of them");
    ids_.assign(header_.idKinds.size(), 0);
    components_.assign(header_.components.size(), 0.0);
    state_ = State::Values;
    visitor_.resultBegins(header_);
    return true;
  }

  bool beginStep() {
    Step step;
    std::size_t next = 1;
    if (next < tokens_.size() && !tokens_[next].quoted && tokens_[next].text == "TIME") {
      step.reference = ReferenceKind::Time;
      if (next + 1 >= tokens_.size() || tokens_[next + 1].quoted) return fail("STEP TIME needs a number");
      const std::string_view word = tokens_[next + 1].text;
      const auto [end, status] = std::from_chars(word.data(), word.data() + word.size(), step.time);
      if (status != std::errc() || end != word.data() + word.size() || !std::isfinite(step.time))
        return fail("the time " + shown(word) + " is not a finite number");
      step.time += 0.0;  // -0 and 0 are one time
      next += 2;
    } else if (next < tokens_.size() && tokens_[next].quoted) {
      step.reference = ReferenceKind::Code;
      if (!quotedText(next, "the step code", step.code) || !quotedText(next + 1, "the step text", step.text))
        return false;
      next += 2;
    }
    if (next < tokens_.size()) {
      if (tokens_[next].quoted || tokens_[next].text != "SELECTION")
        return fail("expected STEP [TIME <t> | \"<code>\" \"<text>\"] [SELECTION \"<code>\"]");
      std::string code;
      if (!quotedText(next + 1, "the selection code", code)) return false;
      if (next + 2 != tokens_.size()) return fail("text after the selection code of STEP");
      for (std::size_t i = 0; i < header_.selections.size(); ++i)
        if (header_.selections[i].code == code) step.selection = static_cast<int>(i);
      if (step.selection < 0)
        return fail("STEP names selection \"" + code + "\", which " + resultNamed() + " does not declare");
    } else if (!header_.selections.empty()) {
      return fail("STEP of " + resultNamed() + " names no selection; it declares SELECTION lines");
    }
    if (stepCount_ > 0 && step.reference != referenceKind_)
      return fail("the steps of " + resultNamed() + " mix references: use TIME for all, codes for all, or neither");
    referenceKind_ = step.reference;
    if (step.reference == ReferenceKind::Code) {
      const auto [at, inserted] = codeTexts_.emplace(step.code, step.text);
      if (!inserted && at->second != step.text)
        return fail("step \"" + step.code + "\" has the texts \"" + at->second + "\" and \"" + step.text + "\"");
    }
    std::string key = step.reference == ReferenceKind::Code ? step.code : std::string();
    if (step.reference == ReferenceKind::Time) {
      char bits[sizeof(double)];
      std::memcpy(bits, &step.time, sizeof bits);
      key.assign(bits, sizeof bits);
    }
    if (!stepKeys_.emplace(std::move(key), step.selection).second)
      return fail("a second STEP with the same reference and selection in " + resultNamed());
    ++stepCount_;
    wantRows_ = visitor_.stepBegins(step);
    return true;
  }

  bool endResult() {
    if (!expectCount(1, "nothing after END")) return false;
    visitor_.resultEnds();
    state_ = State::Outside;
    return true;
  }

  bool rowCountError(std::string_view text) {
    return fail("a row of " + std::to_string(splitWords(text).size()) + " numbers; " + resultNamed() + " needs " +
                std::to_string(ids_.size()) + " identifiers (" + joinCodes(header_.idKinds) + ") and " +
                std::to_string(components_.size()) + " components (" + joinCodes(header_.components) + ")");
  }

  // The hot path: no allocation, one pass over the characters.
  bool readRow(std::string_view text) {
    const char* p = text.data();
    const char* const end = p + text.size();
    const auto skipBlanks = [&] {
      while (p < end && (*p == ' ' || *p == '\t')) ++p;
    };
    const auto atBoundary = [&](const char* q) { return q == end || *q == ' ' || *q == '\t'; };
    const auto wordAt = [&](const char* q) {
      const char* e = q;
      while (!atBoundary(e)) ++e;
      return std::string_view(q, static_cast<std::size_t>(e - q));
    };
    for (std::int64_t& id : ids_) {
      skipBlanks();
      if (p == end) return rowCountError(text);
      const auto [next, status] = std::from_chars(p, end, id);
      if (status != std::errc() || !atBoundary(next))
        return fail("the identifier " + shown(wordAt(p)) + " is not an integer");
      p = next;
    }
    for (double& value : components_) {
      skipBlanks();
      if (p == end) return rowCountError(text);
      const char* first = p;
      if (*first == '+') ++first;
      const auto [next, status] = std::from_chars(first, end, value);
      if (status != std::errc() || !atBoundary(next) || !std::isfinite(value))
        return fail("the value " + shown(wordAt(p)) + " is not a finite number");
      p = next;
    }
    skipBlanks();
    if (p != end) return rowCountError(text);
    if (wantRows_) visitor_.row(ids_.data(), components_.data());
    return true;
  }

  LineReader& lines_;
  DatabaseVisitor& visitor_;
  std::string error_;
  State state_ = State::Outside;
  std::vector<Token> tokens_;
  std::set<std::string> natures_;

  ResultHeader header_;
  long resultLine_ = 0;
  ReferenceKind referenceKind_ = ReferenceKind::None;
  long stepCount_ = 0;
  std::set<std::pair<std::string, int>> stepKeys_;
  std::map<std::string, std::string> codeTexts_;
  bool wantRows_ = false;
  std::vector<std::int64_t> ids_;
  std::vector<double> components_;
};

}  // namespace

bool readDatabase(LineReader& lines, DatabaseVisitor& visitor, std::string& error) {
  Reader reader(lines, visitor);
  return reader.run(error);
}

}  // namespace tallex
