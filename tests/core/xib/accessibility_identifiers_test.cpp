#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>

#include "core/xib/identifier_insertion.h"
#include "core/xib/identifier_scan.h"
#include "core/xib/identifier_stream_rules.h"
#include "corpus.h"
#include "golden.h"
#include "support/unified_diff.h"
#include "temporary_folder.h"
#include "xml/rewritten_text.h"

namespace korvaster {
namespace {

// The file as the identifier pass writes it, with what the rules counted (nothing when it
// cannot be read).
std::pair<std::string, IdentifierCounts> rewrittenAsStream(std::string_view input) {
  IdentifierStreamRules rules;
  std::string text = xml::streamed(input, &rules, 256);
  return {text, text.rfind("XML syntax error", 0) == 0 ? IdentifierCounts{} : rules.counts()};
}

// The findings of a scan as lines: kind, where, element, id, and for a duplicate its identifier
// and first use.
std::vector<std::string> findingsOf(const IdentifierScan& scan) {
  std::vector<std::string> lines;
  scan.forEachFinding([&](const ViewFinding& finding) {
    std::string line = finding.kind == ViewFinding::Kind::missingIdentifier ? "missing " : "duplicate ";
    line += std::to_string(finding.position.line) + ":" + std::to_string(finding.position.column) + " ";
    line.append(finding.element).append(" ").append(finding.id);
    if (finding.kind == ViewFinding::Kind::duplicateIdentifier) {
      line.append(" ").append(finding.identifier).append(" first ").append(finding.firstId);
      const SourcePosition& first = finding.firstPosition;
      line += " " + std::to_string(first.line) + ":" + std::to_string(first.column);
    }
    lines.push_back(line);
  });
  return lines;
}

// Each document under tests/data/identifiers, its file name saying what it shows, as the pass
// writes it, and what check's scanner finds in it, against the approved text. Missing and
// duplicate findings come merged in the order their views start, a nested view's before its
// parent's end; each duplicate names the first use of its own identifier, the earliest even when
// its view ends last, and the first use itself is no finding.
TEST(AccessibilityIdentifiersTest, ViewsGetTheirIdAsIdentifierAndTheScannerFindsWhatIsMissingOrRepeated) {
  std::string written;
  for (const auto& path : testing::filesIn(KORVASTER_GOLDEN_DIR "/../identifiers")) {
    const std::string input = testing::readFile(path);
    written += "== " + std::filesystem::path(path).filename().string() + "\n" + rewrittenAsStream(input).first + "\n";
    const IdentifierScan scan = scanIdentifiers(input);
    written += "-- " + std::to_string(scan.views()) + " views, " + std::to_string(scan.missing()) + " missing, " +
               std::to_string(scan.duplicates()) + " duplicates\n";
    for (const std::string& line : findingsOf(scan)) written += line + "\n";
  }
  testing::expectApproved("identifiers.txt", written);
}

// A 64-bit FNV-1a digest, in hexadecimal: the approved corpus outputs are kept as one line per
// file, since the texts themselves are tens of megabytes.
std::string digestOf(std::string_view text) {
  std::uint64_t hash = 14695981039346656037u;
  for (const char byte : text) hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211u;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return hex;
}

// Over every real file: the streamed pass, fix's insertion and its diff each write the approved
// text (by its digest), the pass with the approved counts, and the insertion adds the same
// identifiers; check's scanner finds the views it counts and the identifiers it adds and none
// missing after either, and a second run changes nothing. The files that cannot be read (those
// committed with merge-conflict markers) are approved with the pass's error.
TEST(AccessibilityIdentifiersTest, ThePassTheInsertionAndTheScannerAgreeOverTheCorpus) {
  int malformed = 0;
  std::string digests;
  for (const auto& path : testing::loadCorpus()) {
    const std::string input = testing::readFile(path);
    const auto streamed = rewrittenAsStream(input);
    const std::string approved = std::filesystem::path(path).filename().string() + " " + digestOf(streamed.first) +
                                 " " + std::to_string(streamed.second.views) + " " +
                                 std::to_string(streamed.second.added) + " " + std::to_string(streamed.second.kept);
    std::optional<IdentifierScan> scan;
    try {
      scan = scanIdentifiers(input);
    } catch (const std::exception&) {
      ++malformed;
      EXPECT_THROW(insertAccessibilityIdentifiers(input), xml::XmlSyntaxError) << path;
      digests += approved + "\n";
      continue;
    }
    EXPECT_EQ(std::pair(scan->views(), scan->missing()), std::pair(streamed.second.views, streamed.second.added))
        << path;
    EXPECT_EQ(scanIdentifiers(streamed.first).missing(), 0u) << path;
    EXPECT_EQ(rewrittenAsStream(streamed.first).first, streamed.first) << path;

    const IdentifierInsertion inserted = insertAccessibilityIdentifiers(input);
    EXPECT_EQ(std::pair(inserted.counts.added, inserted.counts.kept), std::pair(streamed.second.added, streamed.second.kept))
        << path;
    EXPECT_EQ(scanIdentifiers(inserted.text).missing(), 0u) << path;
    const IdentifierInsertion again = insertAccessibilityIdentifiers(inserted.text);
    EXPECT_EQ(std::pair(again.text, again.counts.added), std::pair(inserted.text, std::size_t{0})) << path;
    const std::string diff = support::unifiedDiff(input, identifierInsertionsOf(input).edits, "f");
    digests += approved + " " + digestOf(inserted.text) + " " + digestOf(diff) + "\n";
  }
  EXPECT_GT(malformed, 0) << "no malformed file in the corpus, so the failure path went untested";
  testing::expectApproved(std::string(KORVASTER_CORPUS_NAME) == "full corpus" ? "corpus-identifiers.txt"
                                                                               : "sample-identifiers.txt",
                          digests);
}

// check's scanner refuses what is nested too deep, as the pass does.
TEST(IdentifierScanTest, NestingTooDeepIsRefused) {
  std::string deep;
  for (int level = 0; level < 257; ++level) deep += "<a>";
  EXPECT_THROW(scanIdentifiers(deep), xml::XmlSyntaxError);
}

}  // namespace
}  // namespace korvaster
