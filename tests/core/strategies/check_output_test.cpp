// What `check` writes for given results, in each format: the totals, the singular of a count of
// one, and escapes that keep one finding on one line.
#include "core/strategies/check_output.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/strategies/check_filter.h"
#include "core/strategies/check_job_summary.h"
#include "golden.h"
#include "temporary_folder.h"

namespace korvaster {
namespace {

CheckedFile scanned(const std::string& path, const std::string& document) {
  CheckedFile file;
  file.path = path;
  file.scan = scanIdentifiers(document);
  return file;
}

CheckedFile unreadable(const std::string& path, const std::string& error, std::optional<unsigned long> line) {
  CheckedFile file;
  file.path = path;
  file.error = error;
  file.errorLine = line;
  return file;
}

std::string written(std::vector<CheckedFile> files, CheckFormat format, CheckFilter* filter = nullptr,
                    std::size_t limit = kSarifResultLimit) {
  support::StringOutputStream output;
  CheckResultsWriter writer(format, output, limit);
  for (auto& file : files) {
    if (filter) filter->apply(file.path, file);
    writer.write(file);
  }
  writer.finish(filter ? filter->resolved() : std::nullopt);
  if (format != CheckFormat::sarif) return output.text();
  const std::size_t results = output.text().find("      \"results\"");
  return output.text().substr(results, output.text().find("      \"properties\"") - results) +
         checkSummaryLine(writer.totals()) + "\n";
}

const std::string kView = R"(<view contentMode="a" id=")";

// The first run's totals each have their own number, so that one counted in another's place
// shows; then a count of one, singular, and an empty run, plural. The last run's path may hold
// any byte but "/" and NUL, and its id a line feed or a tab written as a character reference:
// in text and github each control character (C0, C1, DEL) and each byte that is not UTF-8 is
// written as an escape (github keeps its own for line breaks), JSON keeps its own escapes. In
// text, JSON and GitHub's format, against the approved output; the documents lie under
// tests/data/check. Run 5 drops a rule turned off (the first setting wins) and what the
// baseline holds, and counts as resolved only the entries of the files read that are gone (not
// those a rule turned off hides).
TEST(CheckOutputTest, EachTotalCountsItsOwnKindACountOfOneIsSingularAndNoFindingBreaksOverLines) {
  const auto runs = [] {
    const auto document = [](const char* name) { return testing::readFile(KORVASTER_GOLDEN_DIR "/../check/" + std::string(name)); };
    std::vector<std::vector<CheckedFile>> list(6);
    list[0].push_back(scanned("A.xib", document("1-A.xib")));
    list[0].push_back(unreadable("B.xib", "XML syntax error at line 7, column 1: mismatched tag", 7));
    list[0].push_back(scanned("C.xib", document("1-C.xib")));
    list[1].push_back(scanned("A.xib", document("2-A.xib")));
    list[2].push_back(scanned("A.xib", document("3-A.xib")));
    list[4].push_back(scanned("Odd\nName\t,:.xib", "<d>" + kView + "x&#10;y&#9;z&#13;\"/></d>"));
    list[4].push_back(unreadable("Esc\x1b[31m\xC2\x9b\xff.xib", std::string("cannot read \"Esc\x1b[31m\x7f\x01.xib\""), {}));
    list[5].push_back(scanned("A.xib", document("1-A.xib")));
    list[5].push_back(unreadable("B.xib", "cannot read", {}));
    list[5].push_back(scanned("C.xib", document("1-C.xib")));
    return list;
  };
  const auto filterOf = [] {
    CheckFilter filter(
        CheckRules::from({{ArgumentType::rule, "missingIdentifier=off"}, {ArgumentType::rule, "missingIdentifier=on"}}));
    filter.compareWith(CheckBaseline::parse(std::string(kBaselineHeader) +
                                                "\nA.xib\ta1\tmissingIdentifier\nA.xib\ta2\tduplicateIdentifier\n"
                                                "A.xib\ta5\tduplicateIdentifier\nA.xib\tgone\tmissingIdentifier\n"
                                                "B.xib\tb\tmissingIdentifier\nZ.xib\tz\tmissingIdentifier\n",
                                            "b"));
    return filter;
  };
  std::string outputs;
  for (const auto& [format, name] : {std::pair(CheckFormat::text, "text"), std::pair(CheckFormat::json, "json"),
                                     std::pair(CheckFormat::github, "github")}) {
    auto files = runs();
    for (std::size_t run = 0; run < files.size(); ++run) {
      auto filter = filterOf();
      outputs += "== run " + std::to_string(run) + ", " + name + "\n" + written(std::move(files[run]), format, run == 5 ? &filter : nullptr);
    }
  }
  testing::expectApproved("check-totals.txt", outputs);
}

// Every field comes back byte for byte from its escapes, and every malformed line is refused
// with its number, against the approved errors.
TEST(CheckBaselineTest, FieldsComeBackAsTheyWereAndEachMalformedLineIsNamed) {
  CheckBaseline recorded;
  ViewFinding finding;
  finding.id = "a\\t\tb\n\r";
  recorded.add("Sub dir/\\\t\xC3\xA9.xib", finding);
  finding.kind = ViewFinding::Kind::duplicateIdentifier;
  recorded.add("A.xib", finding);
  CheckBaseline read = CheckBaseline::parse(recorded.text(), "b");
  EXPECT_EQ(read.text(), recorded.text());
  EXPECT_TRUE(read.holds("A.xib", finding));
  EXPECT_FALSE(read.holds("Sub dir/\\\t\xC3\xA9.xib", finding));
  std::string errors;
  for (const std::string text : {"", "# korvaster baseline 2\n", "H\nA\ta\n", "H\nA\ta\tmissingIdentifier\tx\n", "H\n\n",
                                 "H\n\ta\tmissingIdentifier\n", "H\nA\ta\\x\tmissingIdentifier\n", "H\nA\ta\\\tmissingIdentifier\n",
                                 "H\nA\ta\tmissingIdentifier\r\n", "H\nA\ta\tmissingIdentifier\nA\ta\tmissingIdentifier\n"}) {
    try {
      CheckBaseline::parse(testing::replaced(text, "H\n", std::string(kBaselineHeader) + "\n"), "base");
      ADD_FAILURE() << "accepted: " << text;
    } catch (const BaselineError& error) {
      errors += error.ownDescription().value_or("") + "\n";
    }
  }
  testing::expectApproved("baseline-errors.txt", errors);
}

}  // namespace
}  // namespace korvaster

namespace korvaster {
namespace {

// SARIF's results: a column counts a character beyond U+FFFF twice, a fingerprint stays when a
// line is inserted above the view (run 1), and a log holds at most its limit, the last result
// then saying how many were left out (run 2), which the summary line tells too; exactly the limit
// leaves nothing out (run 3).
TEST(CheckOutputTest, SarifColumnsCountUtf16FingerprintsIgnoreLinesAndTheLimitLeavesOutTheRest) {
  const std::string rocket = "<d>\n<!-- \xF0\x9F\x9A\x80 --> " + kView + "a\"/>\n" + kView + "b\"/></d>";
  const std::string five = testing::readFile(KORVASTER_GOLDEN_DIR "/../check/1-A.xib");
  std::string outputs;
  for (const auto& [document, limit] : {std::pair(rocket, std::size_t{9}), std::pair("\n" + rocket, std::size_t{9}),
                                        std::pair(five, std::size_t{3}), std::pair(five, std::size_t{4})}) {
    std::vector<CheckedFile> files;
    files.push_back(scanned("Sub/A.xib", document));
    outputs += written(std::move(files), CheckFormat::sarif, nullptr, limit);
  }
  testing::expectApproved("check-sarif-results.txt", outputs);
}

}  // namespace
}  // namespace korvaster

namespace korvaster {
namespace {

// In the job summary's cells nothing of a path makes Markdown (a cell, a link, emphasis, code,
// HTML, maths), and a file without views has no share.
TEST(CheckOutputTest, JobSummaryCellsShowPathsAsTheyAreAndAFileWithoutViewsHasNoShare) {
  CheckJobSummary summary;
  summary.add(scanned("a|b*c_[d](e)<f>`g`~$h&amp;.xib", "<d/>"));
  CheckTotals totals;
  totals.files = 1;
  EXPECT_EQ(summary.markdown(totals),
            "### korvaster check\n\n"
            "| File | Views | Without an identifier | Repeated identifiers | With an identifier |\n"
            "| :--- | ---: | ---: | ---: | ---: |\n"
            "| a\\|b\\*c\\_\\[d\\](e)\\<f\\>\\`g\\`\\~\\$h\\&amp;.xib | 0 | 0 | 0 | \xE2\x80\x93 |\n"
            "| **Total** | 0 | 0 | 0 | \xE2\x80\x93 |\n\n"
            "Checked 1 Interface Builder file: 0 views, 0 without an accessibility identifier, 0 duplicate "
            "identifiers, 0 unreadable.\n\n");
}

}  // namespace
}  // namespace korvaster
