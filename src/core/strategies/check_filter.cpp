#include "core/strategies/check_filter.h"

namespace korvaster {

void CheckFilter::apply(const std::string& relativePath, CheckedFile& file) {
  if (file.error) return;
  if (baseline_) baseline_->noteRead(relativePath);
  if (recording_) recording_->noteRead(relativePath);
  file.scan.dropFindings([&](const ViewFinding& finding) {
    // A rule turned off hides its findings, which are still there: their entries stay unresolved.
    const bool held = baseline_ && baseline_->holds(relativePath, finding);
    if (!rules_.isOn(finding.kind)) return true;
    if (recording_) recording_->add(relativePath, finding);
    return held || recording_.has_value();
  });
}

std::optional<std::size_t> CheckFilter::resolved() const {
  if (!baseline_) return std::nullopt;
  return baseline_->resolved();
}

CheckBaseline CheckFilter::recorded() const {
  if (!recording_) return {};
  CheckBaseline recorded = *recording_;
  recorded.keepUnreadEntriesOf(kept_);
  return recorded;
}

}  // namespace korvaster
