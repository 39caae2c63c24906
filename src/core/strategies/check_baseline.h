// CheckBaseline: the findings a team has accepted for now, so that `check` reports only new
// ones. An entry is a file (relative to the project folder, so that the baseline holds from any
// current folder), a view's Interface Builder id and a rule; never a line, so that edits
// elsewhere in a file keep its entries. Also tells which entries were not found again.
#pragma once

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <tuple>

#include "core/xib/identifier_scan.h"
#include "support/error.h"

namespace korvaster {

// The first line of a baseline file, naming its format and version.
inline constexpr std::string_view kBaselineHeader = "# korvaster baseline 1";

// A baseline file that cannot be read as one: the description names the file and the line.
class BaselineError final : public support::Error {
 public:
  explicit BaselineError(std::string description) : description_(std::move(description)) {}
  std::string domain() const override { return "korvaster.BaselineError"; }
  int code() const override { return 0; }
  std::optional<std::string> ownDescription() const override { return description_; }

 private:
  std::string description_;
};

class CheckBaseline {
 public:
  // Reads a baseline file's text: the header line, then one entry a line, its three fields
  // (file, id, rule) separated by tabs, with "\\", "\t", "\n" and "\r" written as escapes. A
  // missing header, a line of another shape, an unknown escape or rule, an empty field or an
  // entry given twice throws BaselineError naming `shownName` and the line.
  static CheckBaseline parse(std::string_view text, const std::string& shownName);

  // The file's text: the header and the entries, sorted, each line ending with "\n".
  std::string text() const;
  std::size_t size() const { return entries_.size(); }

  void add(const std::string& path, const ViewFinding& finding);
  // Whether the finding of the file at `path` is an entry; the entry then counts as found again.
  bool holds(const std::string& path, const ViewFinding& finding);
  // The file at `path` was read whole, so that its entries not found again are resolved.
  void noteRead(const std::string& path) { readPaths_.insert(path); }
  // The entries of the files read that were not found again.
  std::size_t resolved() const;
  // Adds the entries of `earlier` whose file this one has not noted as read.
  void keepUnreadEntriesOf(const CheckBaseline& earlier);

 private:
  using Key = std::tuple<std::string, std::string, std::string>;  // file, id, rule
  // Whether the entry was found again.
  std::map<Key, bool> entries_;
  std::set<std::string> readPaths_;
};

}  // namespace korvaster
