// BuildConfig: scheme, configuration and workspace for xcodebuild, settled from the command
// line and the export-options property list (the command line wins field by field), with
// the property list's path and whether xcodebuild's output is shown.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "core/options/argument.h"
#include "files/file_manager.h"

namespace korvaster {

// The settings found among the parsed arguments.
struct BuildArgumentsConfig {
  explicit BuildArgumentsConfig(const Arguments& arguments);

  std::optional<std::string> scheme;
  std::optional<std::string> configuration;
  std::optional<std::string> workspace;
  std::optional<bool> verbose;
};

// The tool's three optional keys read from the export-options property list (XML or binary).
struct BuildPlistConfig {
  struct DecodableConfiguration {
    std::optional<std::string> scheme;         // "korvast_scheme"
    std::optional<std::string> configuration;  // "korvast_configuration"
    std::optional<std::string> workspace;      // "korvast_workspace"
  };

  // Real export-options lists are a few KiB. Reading stops one byte past this size and such
  // a list is refused, so a hostile one costs at most this much to read and to check.
  static constexpr std::size_t maximumSize = std::size_t{1} << 20;
  // Levels of a list: XML elements, <plist> included, or objects of a binary list. Real
  // lists nest three to five.
  static constexpr std::size_t maximumNesting = 256;

  // Throws KorvastError::failedToReadPlistPath when the file is missing or unreadable, is
  // larger than maximumSize, nests deeper than maximumNesting, is no property list, has no
  // dictionary at the top, or holds a non-string under one of the keys; its cause says which.
  BuildPlistConfig(const files::FileManager& system, const std::string& exportPath);

  std::string optionsPlist;
  std::optional<DecodableConfiguration> decodedConfig;
};

struct BuildConfig {
  // Reads the property list (through `system`) first, always; throws its error, or
  // KorvastError::failedToBuildConfig when a setting is found in neither place.
  BuildConfig(const Arguments& arguments, const std::string& plistPath, const files::FileManager& system);

  std::string optionPlistPath;
  std::string scheme;
  std::string configuration;
  std::string workspace;
  bool verbose = false;
};

}  // namespace korvaster
