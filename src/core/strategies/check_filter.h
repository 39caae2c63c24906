// CheckFilter: what stands between the scan of a file and check's output: the rules that are
// off, the baseline the findings are compared with, and the baseline being recorded. Owns both
// baselines; used by one thread, in the order the files are written.
#pragma once

#include <optional>
#include <string>

#include "core/strategies/check_baseline.h"
#include "core/strategies/check_output.h"
#include "core/strategies/check_rules.h"

namespace korvaster {

class CheckFilter {
 public:
  explicit CheckFilter(CheckRules rules) : rules_(rules) {}

  // Findings in `baseline` are dropped from now on.
  void compareWith(CheckBaseline baseline) { baseline_ = std::move(baseline); }
  // Every finding of a rule that is on is recorded from now on, and then dropped, as the
  // baseline being recorded holds it; the entries of `kept` whose file is not read stay in it.
  void record(CheckBaseline kept) {
    recording_.emplace();
    kept_ = std::move(kept);
  }

  // Drops from `file` (at `relativePath` in the project folder) the findings of the rules that
  // are off, those the baseline holds and, when recording, every other one once recorded. An
  // unreadable file keeps its error and marks no entry as found or resolved.
  void apply(const std::string& relativePath, CheckedFile& file);

  const CheckRules& rules() const { return rules_; }
  // The baseline's entries of the files read that were not found again; nothing without one.
  std::optional<std::size_t> resolved() const;
  // The baseline recorded, with the kept entries of the files not read; empty unless recording.
  CheckBaseline recorded() const;

 private:
  CheckRules rules_;
  std::optional<CheckBaseline> baseline_;
  std::optional<CheckBaseline> recording_;
  CheckBaseline kept_;
};

}  // namespace korvaster
