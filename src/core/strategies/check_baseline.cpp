#include "core/strategies/check_baseline.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <vector>

#include "core/options/command_line_table.h"
#include "core/strategies/check_output.h"
#include "support/text_format.h"

namespace korvaster {

namespace {

// A field's text stays within its line and its column, and comes back byte for byte: each of
// these characters is written as a backslash and its letter.
constexpr struct {
  char letter;
  char meaning;
} kEscapes[] = {{'\\', '\\'}, {'t', '\t'}, {'n', '\n'}, {'r', '\r'}};

std::string escaped(std::string_view field) {
  std::string result;
  for (const char character : field) {
    const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                     [&](const auto& known) { return known.meaning == character; });
    if (escape != std::end(kEscapes)) result += '\\';
    result += escape != std::end(kEscapes) ? escape->letter : character;
  }
  return result;
}

std::optional<std::string> unescaped(std::string_view field) {
  std::string result;
  for (std::size_t at = 0; at < field.size(); ++at) {
    if (field[at] != '\\') {
      result += field[at];
      continue;
    }
    const char letter = at + 1 < field.size() ? field[++at] : '\0';
    const auto escape = std::find_if(std::begin(kEscapes), std::end(kEscapes),
                                     [&](const auto& known) { return known.letter == letter; });
    if (escape == std::end(kEscapes)) return std::nullopt;
    result += escape->meaning;
  }
  return result;
}

}  // namespace

CheckBaseline CheckBaseline::parse(std::string_view text, const std::string& shownName) {
  CheckBaseline baseline;
  std::size_t lineNumber = 0;
  const auto fail = [&](const std::string& what) {
    throw BaselineError(shownName + ":" + std::to_string(lineNumber) + ": " + what);
  };
  std::string known;
  for (const char* name : kCheckRuleNames) known += (known.empty() ? "" : ", ") + std::string(name);
  while (!text.empty() || lineNumber == 0) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (lineNumber == 1) {
      if (line != kBaselineHeader)
        fail("not a korvaster baseline: the first line must be '" + std::string(kBaselineHeader) + "'");
      continue;
    }
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
      const std::size_t tab = line.find('\t', start);
      const auto field =
          unescaped(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
      if (!field) fail("a backslash must be followed by another, 't', 'n' or 'r'");
      fields.push_back(*field);
      if (tab == std::string_view::npos) break;
      start = tab + 1;
    }
    if (fields.size() != 3 || fields[0].empty() || fields[1].empty())
      fail("expected a file, a view id and a rule, separated by tabs");
    if (std::find(std::begin(kCheckRuleNames), std::end(kCheckRuleNames), fields[2]) ==
        std::end(kCheckRuleNames))
      fail("unknown rule '" + support::textEscaped(fields[2]) + "' (known: " + known + ")");
    if (!baseline.entries_.emplace(Key{fields[0], fields[1], fields[2]}, false).second)
      fail("the same entry as an earlier line");
  }
  return baseline;
}

std::string CheckBaseline::text() const {
  std::string text(kBaselineHeader);
  text += "\n";
  for (const auto& [key, found] : entries_) {
    text += escaped(std::get<0>(key)) + "\t" + escaped(std::get<1>(key)) + "\t" + std::get<2>(key) + "\n";
  }
  return text;
}

void CheckBaseline::add(const std::string& path, const ViewFinding& finding) {
  entries_.emplace(Key{path, std::string(finding.id), findingKindName(finding.kind)}, false);
}

bool CheckBaseline::holds(const std::string& path, const ViewFinding& finding) {
  const auto entry = entries_.find(Key{path, std::string(finding.id), findingKindName(finding.kind)});
  if (entry == entries_.end()) return false;
  entry->second = true;
  return true;
}

std::size_t CheckBaseline::resolved() const {
  return static_cast<std::size_t>(std::count_if(entries_.begin(), entries_.end(), [&](const auto& entry) {
    return !entry.second && readPaths_.count(std::get<0>(entry.first)) != 0;
  }));
}

void CheckBaseline::keepUnreadEntriesOf(const CheckBaseline& earlier) {
  for (const auto& entry : earlier.entries_) {
    if (readPaths_.count(std::get<0>(entry.first)) == 0) entries_.emplace(entry.first, false);
  }
}

}  // namespace korvaster
