#include "core/strategies/check_job_summary.h"

#include <cstring>

#include "support/text_format.h"

namespace korvaster {

namespace {

// A path or a message as a table cell shows it: each character that could start a link, an
// emphasis, a code span, an entity, HTML, maths or a new cell escaped.
std::string cellText(std::string_view text) {
  std::string cell;
  for (const char character : support::textEscaped(text)) {
    if (character != '\0' && std::strchr("\\`*_[]<>|~!&$", character) != nullptr) cell += '\\';
    cell += character;
  }
  return cell;
}

// The share of the views that have an identifier, rounded down, so that a single view
// without one never shows as 100%.
std::string share(std::size_t views, std::size_t missing) {
  if (views == 0) return "\xE2\x80\x93";
  return std::to_string((views - missing) * 100 / views) + "%";
}

std::string row(const std::string& first, std::size_t views, std::size_t missing, std::size_t duplicates,
                const std::string& last) {
  return "| " + first + " | " + std::to_string(views) + " | " + std::to_string(missing) + " | " +
         std::to_string(duplicates) + " | " + last + " |\n";
}

}  // namespace

void CheckJobSummary::add(const CheckedFile& file) {
  const IdentifierScan& scan = file.scan;
  rows_ += row(cellText(file.path), scan.views(), scan.missing(), scan.duplicates(),
               file.error ? "unreadable: " + cellText(*file.error) : share(scan.views(), scan.missing()));
}

std::string CheckJobSummary::markdown(const CheckTotals& totals) const {
  return "### korvaster check\n\n"
         "| File | Views | Without an identifier | Repeated identifiers | With an identifier |\n"
         "| :--- | ---: | ---: | ---: | ---: |\n" +
         rows_ +
         row("**Total**", totals.views, totals.missing, totals.duplicates,
             share(totals.views, totals.missing)) +
         "\n" + checkSummaryLine(totals) + "\n\n";
}

}  // namespace korvaster
