// The Markdown a GitHub job's summary page shows for one run of `check`: a row per file and the
// totals, so that the findings beyond the few annotations GitHub shows per step are seen too.
#pragma once

#include <string>

#include "core/strategies/check_output.h"

namespace korvaster {

class CheckJobSummary {
 public:
  // Adds the file's row: its views, those without an identifier, its repeated identifiers and
  // the share of its views that have one; or, for a file that could not be read, why.
  void add(const CheckedFile& file);
  // A heading, the table with the rows added and the totals, and the summary line.
  std::string markdown(const CheckTotals& totals) const;

 private:
  std::string rows_;
};

}  // namespace korvaster
