// TaggingImpl: the interface through which the portal drives a tagging engine
// (Mark, XML, Script), and the token machinery the line-oriented engines share.
// Each portal holds one engine of each kind by value.
#ifndef ORLIX_TAGGING_TAGGING_IMPL_H
#define ORLIX_TAGGING_TAGGING_IMPL_H

#include <cstddef>
#include <map>
#include <vector>

#include <pugixml.hpp>

#include "portal/helper_base.h"
#include "portal/host/host_types.h"
#include "xmlportal/tag_data.h"

namespace ORLIX {
namespace Portals {

class TaggingImpl : public HelperBase {
 public:
  explicit TaggingImpl(IPortalHost* host) : HelperBase(host) {}
  ~TaggingImpl() override;

  // The engine's name, also the module name of its own messages.
  String name() const override = 0;
  virtual bool writeInputTagFile(const String& baseName, TagList& tags,
                                 const StringStringMap& analysisProps, StringStringMap& outData,
                                 String& message) = 0;
  virtual bool writeOutputTagFile(const String& baseName, TagList& tags,
                                  const StringStringMap& analysisProps, StringStringMap& outData,
                                  String& message) = 0;
  // -1 when the file is not this engine's.
  virtual int readInputTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                               TagList& tags, StringStringMap& outData, String& message) = 0;
  virtual int readOutputTagFile(const String& tagFilePath, const StringStringMap& analysisProps,
                                TagList& tags, StringStringMap& outData, String& message) = 0;
  // One design: write the parameter values into every tagged input file.
  virtual bool processInputTags(const StringStringMap& analysisProps, const HostValues* values,
                                String& message) = 0;
  // One design: read every tagged output file and report the response values.
  virtual bool processOutputTags(const StringStringMap& analysisProps, HostResponses* responses,
                                 String& message) = 0;
  virtual void notify(const String& event, const StringStringMap& data);
  virtual void writeDocumentAttributes(pugi::xml_document& document,
                                       const StringStringMap& analysisProps);
  virtual void writeTagAttributes(pugi::xml_node& tagElement, const TagData& tag) = 0;
  virtual void readTagAttributes(const pugi::xml_node& tagElement, TagData& tag) = 0;

  // The token machinery of the line-oriented engines. It needs nothing of an
  // engine object, so it is static: every engine calls it as its own, and a test
  // calls it without building one. Messages are raised under the module
  // "tagging", whichever engine asks; `fileName` only picks the message form
  // that names the file. Tokens, columns, rows and positions count from 1.

  // Decodes \t, \s, \, and \\ and appends the delimiter characters to `delims`;
  // false at a bad backslash, with what was decoded so far kept.
  static bool parseDelimiters(const String& written, String& delims, String& message);
  // Tokens are the maximal runs of non-delimiters (no empty tokens).
  static int countTokens(const String& line, const String& delims);
  static StringList tokenize(const String& line, const String& delims);
  static bool extractDelimitedToken(const int& col, const String& line, const int& row,
                                    const String& fileName, const String& delims,
                                    String& token, String& message);
  // Every delimiter and every other token stays exactly as it was.
  static bool replaceDelimitedToken(const int& col, const String& line, const int& row,
                                    const String& fileName, const String& delims,
                                    const String& value, String& newLine, String& message);
  // The same on the line itself: a line of gigabytes is not copied, and with
  // room enough behind it not even moved (on failure it is left as it was).
  static bool replaceDelimitedTokenInPlace(const int& col, String& line, const int& row,
                                           const String& fileName, const String& delims,
                                           const String& value, String& message);
  // The positions of fixed-width column `col` under `widths` ("10.10.*"); the
  // caller sets startPos to 1 and endPos to 0 first.
  static bool fixedColumnRange(const String& line, const String& widths, const int& col,
                               int& startPos, int& endPos, String& message);
  static bool extractFixedToken(const int& startPos, const int& endPos, const String& line,
                                const int& row, const String& fileName, String& token,
                                String& message);
  // The line keeps its length; an end past the line is cut back in `endPos`.
  static bool replaceFixedToken(const int& startPos, int& endPos, const String& line,
                                const int& row, const String& fileName, const String& value,
                                String& newLine, String& message);
  // The same on the line itself.
  static bool replaceFixedTokenInPlace(const int& startPos, int& endPos, String& line,
                                       const int& row, const String& fileName,
                                       const String& value, String& message);

  // Tags of one file in line order: by the "row" text, then the "col" text,
  // compared as texts ("10" before "9"); groupTagsByRow then keys them by
  // number, so a line-by-line pass meets rows 9 and 10 in numeric order.
  using TagRows = std::map<int, TagList>;
  static bool tagOrder(const TagData& a, const TagData& b);
  static TagRows groupTagsByRow(const TagList& sorted);
  // One line's tags within TagRowRefs::tags.
  struct TagRowRange {
    const TagData* const* first;
    const TagData* const* last;
    const TagData* const* begin() const { return first; }
    const TagData* const* end() const { return last; }
  };
  // The rows that a stable sort by tagOrder and groupTagsByRow make of `tags`,
  // what the Mark engine marks and extracts by, pointing into
  // `tags` instead of holding copies. Flat, one array of tags in row order and
  // one entry per line, rather than a map of lists: a model can have a tag on
  // each of a hundred thousand lines.
  struct TagRowRefs {
    struct Row {
      int number;
      std::size_t begin;  // the row's tags are tags[begin, end)
      std::size_t end;
    };
    std::vector<const TagData*> tags;
    std::vector<Row> rows;

    TagRowRange tagsOf(const Row& row) const {
      return TagRowRange{tags.data() + row.begin, tags.data() + row.end};
    }
  };
  static TagRowRefs tagRowsOf(const TagList& tags);
};

}  // namespace Portals
}  // namespace ORLIX

#endif
