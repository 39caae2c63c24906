// The formats of `check` that other tools read as one document: SARIF 2.1.0 for code scanning,
// JUnit XML for test reports, Checkstyle XML for the rest. Each writer writes the document's
// opening when it is made, one file's results at a time, and its end; it hands its text to the
// output in pieces, so that it never holds more than one file's part.
#pragma once

#include <cstddef>
#include <memory>

#include "core/strategies/check_output.h"
#include "support/output_byte_stream.h"

namespace korvaster {

class CheckDocumentWriter {
 public:
  virtual ~CheckDocumentWriter() = default;
  // Writes the file's findings, or its error.
  virtual void write(const CheckedFile& file) = 0;
  // Writes the end of the document, with the totals where the format has room for them.
  virtual void finish(const CheckTotals& totals) = 0;
};

// The kinds of result, each with a stable id (a finding's kind name, or "unreadableFile").
struct CheckRule {
  const char* id;
  const char* name;
  const char* description;
  const char* level;  // "warning" or "error"
};
inline constexpr CheckRule kCheckRules[] = {
    {"missingIdentifier", "MissingAccessibilityIdentifier", "A view has no accessibility identifier.",
     "warning"},
    {"duplicateIdentifier", "DuplicateAccessibilityIdentifier",
     "A view uses an accessibility identifier that an earlier view of the same file already uses.",
     "warning"},
    {"unreadableFile", "UnreadableFile", "An Interface Builder file or a folder could not be read.", "error"},
};
inline constexpr std::size_t kUnreadableRule = 2;

// The rule of a finding of `kind`, as an index into kCheckRules.
inline std::size_t ruleIndexOf(ViewFinding::Kind kind) {
  return kind == ViewFinding::Kind::missingIdentifier ? 0 : 1;
}

// A document's text is handed to the output once it has grown to this size.
inline constexpr std::size_t kDocumentPieceSize = 64 * 1024;

std::unique_ptr<CheckDocumentWriter> makeSarifWriter(support::OutputByteStream& output);
std::unique_ptr<CheckDocumentWriter> makeJunitWriter(support::OutputByteStream& output);
std::unique_ptr<CheckDocumentWriter> makeCheckstyleWriter(support::OutputByteStream& output);

}  // namespace korvaster
