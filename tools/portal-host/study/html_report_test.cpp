#include "study/html_report.h"
#include "study/scatter_svg.h"

#include <gtest/gtest.h>

#include <cmath>

#include "study/journal.h"
#include "study/results_csv.h"

namespace portalhost {
namespace {

std::size_t occurrences(const std::string& text, const std::string& needle) {
  std::size_t count = 0;
  for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
  return count;
}

double attribute(const std::string& element, const std::string& name) {
  const auto start = element.find(" " + name + "=\"") + name.size() + 3;
  return std::stod(element.substr(start, element.find('"', start) - start));
}

// A tick label as a reader sees it: where it is drawn, at ~6.5 px a character.
struct Label {
  std::string text;
  double left, right, y;
};

// The labels of a plot's x axis (centred) or y axis (right-aligned).
std::vector<Label> tickLabels(const std::string& svg, bool xAxis) {
  std::vector<Label> out;
  const auto start = svg.find(xAxis ? "<g text-anchor=\"middle\">" : "<g text-anchor=\"end\">");
  if (start == std::string::npos) return out;
  for (auto at = svg.find("<text ", start); at < svg.find("</g>", start); at = svg.find("<text ", at + 1)) {
    const auto open = svg.find('>', at);
    const std::string element = svg.substr(at, open - at), text = svg.substr(open + 1, svg.find('<', open) - open - 1);
    const double x = attribute(element, "x"), width = 6.5 * static_cast<double>(text.size());
    out.push_back({text, xAxis ? x - width / 2 : x - width, xAxis ? x + width / 2 : x, attribute(element, "y")});
  }
  return out;
}

std::vector<std::string> texts(const std::vector<Label>& labels) {
  std::vector<std::string> out;
  for (const Label& label : labels) out.push_back(label.text);
  return out;
}

// Inside the plot (the rotated y title keeps the first 20 px), and x labels apart.
::testing::AssertionResult labelsAreReadable(const std::string& svg) {
  const double width = attribute(svg, "width");
  const std::vector<Label> x = tickLabels(svg, true), y = tickLabels(svg, false);
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (x[i].left < 0 || x[i].right > width || (i > 0 && x[i].left < x[i - 1].right + 4)) {
      return ::testing::AssertionFailure() << "x label " << x[i].text << " clipped or overlapping";
    }
  }
  for (const Label& label : y) {
    if (label.left < 20 || label.y < 9) return ::testing::AssertionFailure() << "y label " << label.text << " clipped";
  }
  return ::testing::AssertionSuccess();
}

using Texts = std::vector<std::string>;

class HtmlReport : public ::testing::Test {
 protected:
  HtmlReport() {
    study.name = "beam";
    study.parameters.resize(2);
    study.parameters[0].name = "E";
    study.parameters[1].name = "h";
    study.responses.resize(2);
    study.responses[0].name = "tipUz";
    study.responses[1].name = "verdict";
    study.responses[1].text = true;
  }

  DesignRecord& ok(double E, double h, std::vector<double> tipUz, const std::string& verdict = "fine") {
    DesignRecord record;
    record.design = records.size() + 1;
    record.values = {{"E", E}, {"h", h}};
    record.ok = true;
    record.responses = {{"tipUz", std::move(tipUz), {}, ""}, {"verdict", {}, {verdict}, ""}};
    records.push_back(record);
    return records.back();
  }
  DesignRecord& failed(double E, const std::string& stage, std::vector<std::string> messages) {
    DesignRecord& record = ok(E, 1, {});
    record.ok = false;
    record.stage = stage;
    record.messages = std::move(messages);
    record.responses = {{"tipUz", {}, {}, "not read"}, {"verdict", {}, {}, "not read"}};
    return record;
  }

  // The report from `from` to the end of the next `to`.
  std::string part(const std::string& from, const std::string& to) const {
    const std::string all = htmlReport(study, records, summary);
    const auto start = all.find(from);
    return start == std::string::npos ? "" : all.substr(start, all.find(to, start) - start + to.size());
  }

  Study study;
  std::vector<DesignRecord> records;
  ReportSummary summary;
};

TEST_F(HtmlReport, SummaryAndFailedDesignsLeadWithTheStageAndFirstMessage) {
  ok(1, 1, {1});
  failed(2, "update", {"HEIGHT not found in deck.dat", "second", "third"});
  summary = {4, 2};
  EXPECT_EQ("<title>Study beam</title>", part("<title>", "</title>"));
  EXPECT_EQ("<p class=\"summary\">4 designs in the study: 1 finished ok, 1 failed, 2 not run.</p>", part("<p", "</p>"));
  EXPECT_EQ(
      "<h2>Failed designs</h2>\n<ul class=\"failures\">\n"
      "<li><a href=\"#design-2\">design 2</a> failed at <strong>update</strong>: "
      "<span class=\"message\">HEIGHT not found in deck.dat</span>\n"
      "<ul><li class=\"message\">second</li><li class=\"message\">third</li></ul></li>\n</ul>\n",
      part("<h2>Failed designs</h2>", "</li>\n</ul>\n"));
  EXPECT_EQ("<tr class=\"failed\" id=\"design-2\"><td>2</td><td>failed</td><td>update</td><td>2</td><td>1</td>"
            "<td title=\"not read\">-</td><td title=\"not read\">-</td></tr>",
            part("<tr class=\"failed\"", "</tr>"));
}

TEST_F(HtmlReport, EachNumericResponseIsPlottedAgainstEachParameter) {
  ok(70000, 15, {-0.5, 9});
  ok(210000, 25, {-0.1});
  failed(1, "solve", {"x"});
  const std::string tipUz = part("<h2>tipUz</h2>", "</section>");
  EXPECT_EQ(2u, occurrences(tipUz, "<svg"));
  EXPECT_EQ(4u, occurrences(tipUz, "<circle"));  // the first values of the two designs that have one
  EXPECT_EQ("<h2>verdict</h2>\n<p class=\"note\">verdict is a text response: its values are in the table of designs, "
            "not plotted.</p>\n</section>",
            part("<h2>verdict</h2>", "</section>"));
  EXPECT_EQ("<td>-0.5 9</td><td class=\"text\">fine</td></tr>", part("<td>-0.5", "</tr>"));
}

TEST_F(HtmlReport, APlotWithoutPointsSaysNoDataInsteadOfDrawingAnAxis) {
  for (const auto& points : {std::vector<std::pair<double, double>>{}, {{1, std::nan("")}, {HUGE_VAL, 2}}}) {
    const std::string svg = scatterSvg("E", "tipUz", points);
    EXPECT_NE(std::string::npos, svg.find(">no data</text>"));
    EXPECT_TRUE(tickLabels(svg, true).empty() && tickLabels(svg, false).empty());
    EXPECT_EQ(0u, occurrences(svg, "<circle"));
  }
}

TEST_F(HtmlReport, TickLabelsAreRoundFitTheirPlotAndKeepApart) {
  const std::string unit = scatterSvg("h", "tipUz", {{0.05, -0.1}, {0.3, 0.2}, {0.95, 0.31}});
  EXPECT_EQ((Texts{"0", "0.2", "0.4", "0.6", "0.8", "1"}), texts(tickLabels(unit, true)));
  EXPECT_EQ((Texts{"-0.1", "0", "0.1", "0.2", "0.3", "0.4"}), texts(tickLabels(unit, false)));
  EXPECT_TRUE(labelsAreReadable(unit));

  // Every other one of 1e+06, 1.000002e+06, ..., 1.00001e+06; a wide left margin.
  const std::string wide = scatterSvg("E", "tipUz", {{1000001.5, -123456.789}, {1000009, -123456.7}});
  EXPECT_EQ((Texts{"1e+06", "1.000004e+06", "1.000008e+06"}), texts(tickLabels(wide, true)));
  EXPECT_EQ("-123456.78", tickLabels(wide, false)[1].text);
  EXPECT_TRUE(labelsAreReadable(wide));

  const std::string single = scatterSvg("E", "tipUz", {{5, 2}, {5, 2}});
  EXPECT_EQ((Texts{"1.8", "1.9", "2", "2.1", "2.2"}), texts(tickLabels(single, false)));
  EXPECT_TRUE(labelsAreReadable(single));
}

TEST_F(HtmlReport, TextsFromTheStudyAndSolversAreEscapedAndValidUtf8) {
  study.name = "<b>beam</b> & co";
  study.parameters[0].name = "E\"<script>";
  ok(1, 1, {1}, "<img src=x>");
  failed(2, "solve", {"bad \xff\xfe bytes \x1b[31m and \xC0\xAF", std::string("nul \0 in it", 11)});
  const std::string report = htmlReport(study, records, summary);
  EXPECT_EQ(validUtf8(report), report);
  EXPECT_EQ(std::string::npos, report.find_first_of(std::string("\x1b\0", 2)));
  EXPECT_EQ(std::string::npos, report.find("<script"));
  EXPECT_EQ(std::string::npos, report.find("<img"));
  EXPECT_NE(std::string::npos, report.find("<h1>Study &lt;b&gt;beam&lt;/b&gt; &amp; co</h1>"));
  EXPECT_NE(std::string::npos, report.find("<th>E&quot;&lt;script&gt;</th>"));
  EXPECT_NE(std::string::npos, report.find(">E&quot;&lt;script&gt;</text>"));  // a plot's axis title
  EXPECT_NE(std::string::npos,
            report.find(">bad \xEF\xBF\xBD\xEF\xBF\xBD bytes \xEF\xBF\xBD[31m and \xEF\xBF\xBD\xEF\xBF\xBD<"));
  EXPECT_NE(std::string::npos, report.find(">nul \xEF\xBF\xBD in it<"));
  // Self-contained: the SVG namespace is the only address in it.
  EXPECT_EQ(occurrences(report, "http"), occurrences(report, "xmlns=\"http://www.w3.org/2000/svg\""));
}

TEST_F(HtmlReport, AHugeStudyIsSampledAndCutAndSaysSo) {
  records.reserve(100000);
  for (int i = 0; i < 100000; ++i) {
    if (i % 10 == 9) {
      failed(i, "check", {"failIf matched"});
    } else {
      ok(i, i % 7, {i * 0.5, 1, 2});
    }
  }
  summary = {100000, 0};
  EXPECT_LT(htmlReport(study, records, summary).size(), 4'000'000u);
  const std::string tipUz = part("<h2>tipUz</h2>", "</section>");
  EXPECT_EQ(2u * 5000, occurrences(tipUz, "<circle"));
  EXPECT_EQ(2u, occurrences(tipUz, "<figcaption>5000 of 90000 designs plotted, evenly sampled.</figcaption>"));
  EXPECT_EQ(2000u + 1, occurrences(part("<h2>Designs</h2>", "</table>"), "<tr"));
  EXPECT_EQ("<p class=\"note\">The table shows the first 2000 of 100000 designs; results.csv has them all.</p>",
            part("<p class=\"note\">The table", "</p>"));
  EXPECT_EQ(50u, occurrences(part("<h2>Failed designs</h2>", "</ul>\n<p"), " failed at <strong>check</strong>"));
  EXPECT_EQ("<p class=\"note\">\xE2\x80\xA6 and 9950 more failed designs (see results.jsonl)</p>",
            part("<p class=\"note\">\xE2\x80\xA6", "</p>"));
}

TEST_F(HtmlReport, AReportThatCannotBeWrittenNamesItsPathAndWhy) {
  const std::string missing = ::testing::TempDir() + "/no-such-folder/report.html";
  try {
    writeHtmlReport(missing, study, records, summary);
    ADD_FAILURE() << "no error";
  } catch (const OutputError& e) {
    EXPECT_EQ(missing + ": cannot be written: No such file or directory", std::string(e.what()));
  }
}

}  // namespace
}  // namespace portalhost
