// The formats of `check` that other tools read as one document: SARIF 2.1.0 for code scanning,
// JUnit XML for test reports, Checkstyle XML for the rest. Each writer writes the document's
// opening when it is made, one file's results at a time, and its end; it hands its text to the
// output in pieces, so that it never holds more than one file's part.
#pragma once

#include <cstddef>
#include <memory>

#include "core/strategies/check_output.h"
#include "core/strategies/check_rules.h"
#include "support/output_byte_stream.h"

namespace korvaster {

class CheckDocumentWriter {
 public:
  virtual ~CheckDocumentWriter() = default;
  // Writes the file's findings, or its error.
  virtual void write(const CheckedFile& file) = 0;
  // Writes the end of the document, with the totals where the format has room for them, and
  // counts in `totals` the results it left out.
  virtual void finish(CheckTotals& totals) = 0;
};

// A document's text is handed to the output once it has grown to this size.
inline constexpr std::size_t kDocumentPieceSize = 64 * 1024;

// At most `resultLimit` results (at least 2): beyond them, the last result says how many more
// there were. The rules listed are those `rules` reports.
std::unique_ptr<CheckDocumentWriter> makeSarifWriter(support::OutputByteStream& output, std::size_t resultLimit,
                                                     const CheckRules& rules);
std::unique_ptr<CheckDocumentWriter> makeJunitWriter(support::OutputByteStream& output);
std::unique_ptr<CheckDocumentWriter> makeCheckstyleWriter(support::OutputByteStream& output);

}  // namespace korvaster
