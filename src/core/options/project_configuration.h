// ProjectConfiguration: what a project's own configuration file (".korvaster.yml" in the
// project folder, or the file --config names) adds to a command line, so that a team writes
// its excludes and its preferred check format once instead of in every CI step.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/options/argument.h"
#include "core/options/command_line_table.h"
#include "files/file_manager.h"
#include "support/error.h"

namespace korvaster {

inline constexpr const char* kProjectConfigurationName = ".korvaster.yml";

struct ProjectConfiguration {
  // Globs added after those of --exclude.
  std::vector<std::string> exclude;
  // check's --format when none is given.
  std::optional<std::string> format;
  // check's rules as --rule takes them ("duplicateIdentifier=off"), after those of --rule.
  std::vector<std::string> rules;
};

// A configuration file that cannot be used: its own description names the file, the line
// and, where there is one, the key.
class ConfigurationError final : public support::Error {
 public:
  explicit ConfigurationError(std::string description) : description_(std::move(description)) {}
  std::string domain() const override { return "korvaster.ConfigurationError"; }
  int code() const override { return 0; }
  std::optional<std::string> ownDescription() const override { return description_; }

 private:
  std::string description_;
};

// Reads a configuration file's text; `shownName` names it in errors. An unknown key, a
// value of the wrong shape, a format or rule check does not know, a rule neither on nor off,
// more than one document or text that is not YAML throws ConfigurationError.
ProjectConfiguration parseProjectConfiguration(std::string_view text, const std::string& shownName);

// The arguments with the configuration that applies to them added: the file --config names
// (which must exist), else the project folder's ".korvaster.yml" when there is one; with files
// named and no project folder, the nearest ".korvaster.yml" from the current directory up to
// the repository's root, whose excludes then name files from that file's folder. Throws
// ConfigurationError, also when the file (followed through links) is not a regular file or
// is larger than 1 MiB, or FileIOError when it cannot be read.
Arguments withProjectConfiguration(Arguments arguments, CommandLevel level, const files::FileManager& system);

}  // namespace korvaster
