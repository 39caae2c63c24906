// How `check` tells what it found: compiler-style lines, GitHub workflow commands, or one JSON,
// SARIF, JUnit XML or Checkstyle XML document, each with the same findings, written file by
// file as they come.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/strategies/check_rules.h"
#include "core/xib/identifier_scan.h"
#include "support/json_writer.h"
#include "support/output_byte_stream.h"

namespace korvaster {

// xcode is text with every path absolute, which Xcode's issue navigator needs to show a finding
// on its line.
enum class CheckFormat { text, json, github, sarif, junit, checkstyle, xcode };

// The format named `name` ("text", "json", "github", "sarif", "junit", "checkstyle" or "xcode"), or
// nothing.
std::optional<CheckFormat> checkFormatNamed(const std::string& name);

// Whether the format lists every view checked, not only the findings: its files are then
// scanned with ScanKeeps::everyView.
bool listsEveryView(CheckFormat format);

// The finding's kind as the documents name it: "missingIdentifier" or "duplicateIdentifier".
const char* findingKindName(ViewFinding::Kind kind);
// The finding in words, e.g. "label 'Xk3-pQ-9aZ' has no accessibility identifier".
std::string findingMessage(const ViewFinding& finding);

// One checked file, or a path that could not be checked and why.
struct CheckedFile {
  // As the findings name it.
  std::string path;
  // Relative to the project folder, which names it the same from any current directory; empty
  // when not known (the path then serves).
  std::string relativePath;
  IdentifierScan scan;
  // Why the path could not be read; its scan is then empty.
  std::optional<std::string> error;
  // The line the reader stopped at, when it said.
  std::optional<unsigned long> errorLine;
};

struct CheckTotals {
  std::size_t files = 0;
  std::size_t views = 0;
  std::size_t missing = 0;
  std::size_t duplicates = 0;
  std::size_t unreadable = 0;
  // The baseline's entries that were not found again; nothing when there was no baseline.
  std::optional<std::size_t> resolved;
  // The results a document had no room for (SARIF's limit).
  std::size_t leftOut = 0;

  bool foundAnything() const { return missing + duplicates + unreadable > 0; }
};

// The line text and GitHub output end with, e.g. "Checked 3 Interface Builder files: 28 views,
// 1 without an accessibility identifier, 1 duplicate identifier, 0 unreadable.", and when a
// document left results out, a sentence that says how many.
std::string checkSummaryLine(const CheckTotals& totals);

// The most results a SARIF log holds: GitHub code scanning takes no more from one run.
inline constexpr std::size_t kSarifResultLimit = 25000;

class CheckDocumentWriter;

// Writes the results of one file after another in one format as they are handed over, so
// that no more than one file's findings are held, and the totals at the end. Text and GitHub
// output end with the line "Checked N Interface Builder files: V views, M without an
// accessibility identifier, D duplicate identifiers, U unreadable." (a count of one takes the
// singular), and ", R baseline entries resolved" before its full stop when there are any. In
// text, control characters in paths, names and messages are written escaped ("\n", "\r",
// "\t", else "\x1b"), so that each finding stays on its own line.
class CheckResultsWriter {
 public:
  // Writes the start of the output (a document's opening); a SARIF log lists the rules `rules`
  // reports.
  CheckResultsWriter(CheckFormat format, support::OutputByteStream& output,
                     std::size_t sarifResultLimit = kSarifResultLimit, const CheckRules& rules = {});
  ~CheckResultsWriter();

  // Writes the file's findings, or its error, and counts them.
  void write(const CheckedFile& file);
  // Writes the totals, with the baseline's entries not found again when there was one;
  // nothing may be written after.
  void finish(std::optional<std::size_t> resolved = std::nullopt);

  const CheckTotals& totals() const { return totals_; }

 private:
  void writeJson(const CheckedFile& file);
  // Hands the JSON written so far to the output once it has grown.
  void sendJsonPiece();

  CheckFormat format_;
  support::OutputByteStream& output_;
  support::JsonWriter json_;
  // The writer of a SARIF, JUnit or Checkstyle document, else null.
  std::unique_ptr<CheckDocumentWriter> document_;
  CheckTotals totals_;
};

}  // namespace korvaster
