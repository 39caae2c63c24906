// The descriptions the usage text shows for each option.
#pragma once

namespace korvaster::Constants::OptionsUsages {
inline constexpr const char* Path = "A path to the Project folder which will be build for Korvast (required)";
inline constexpr const char* Out = "Path where modified Project will be copied";
inline constexpr const char* Export =
    "A path to ExportOption.plist used for export ipa. See Korvast docs for plist example (required)";
inline constexpr const char* Scheme = "Scheme name to build";
inline constexpr const char* Workspace = "Project workspace to build. Tool supports only workspaces for now";
inline constexpr const char* Configurtion = "Configuration to build: e.g. AdHoc, Release";
inline constexpr const char* Verbose = "Log message level";
inline constexpr const char* BuildOnly = "Archive and export ipa file without any modifications";
inline constexpr const char* Version = "Prints tool version";
}  // namespace korvaster::Constants::OptionsUsages
