// The texts of the top level and of the subcommands, and the subcommands' table: one row
// each, in the order they are registered and listed in the man page and the completions.
#pragma once

#include "core/options/option_table.h"

namespace korvaster::Constants {

namespace CommandInfo {
inline constexpr const char* Name = "korvaster";
inline constexpr const char* Usage = "<command> [<args>]";
inline constexpr const char* Overview =
    "korvaster able to find all your InterfaceBuilder's files and set an AccesibilityIdentifier, if it's "
    "nil, for "
    "UIView instances based on XCode generated id.\nkorvaster also able to build an IPA file.\n\nkorvaster "
    "is "
    "designed for development purposes, do not rely on it in your poduction code.";
inline constexpr const char* More = "https://korvast.io/docs/application/tvos-korvaster/";
}  // namespace CommandInfo

namespace Commands {
inline constexpr const char* Modify = "modify";
inline constexpr const char* ModifyUsage =
    "Copies source code, looks for elements without AccesibilityIdentifier in IB files and set value. See -h "
    "for "
    "options.";
inline constexpr const char* Build = "build";
inline constexpr const char* BuildUsage =
    "Can set AccesibilityIdentifier and(or) build IPA file. See -h for options.";
inline constexpr const char* Check = "check";
inline constexpr const char* CheckUsage =
    "Lists the views in IB files without AccessibilityIdentifier, and identifiers used twice; changes "
    "nothing. See -h for options.";
}  // namespace Commands

}  // namespace korvaster::Constants

namespace korvaster {

struct SubcommandSpec {
  CommandLevel level;
  const char* name;
  const char* overview;
};

inline constexpr SubcommandSpec kSubcommandTable[] = {
    {CommandLevel::modify, Constants::Commands::Modify, Constants::Commands::ModifyUsage},
    {CommandLevel::build, Constants::Commands::Build, Constants::Commands::BuildUsage},
    {CommandLevel::check, Constants::Commands::Check, Constants::Commands::CheckUsage},
};

// The row of `level`, a subcommand; the check below makes sure there is exactly one.
constexpr const SubcommandSpec& subcommandSpecOf(CommandLevel level) {
  for (const SubcommandSpec& subcommand : kSubcommandTable) {
    if (subcommand.level == level) return subcommand;
  }
  return kSubcommandTable[0];
}

namespace subcommand_table_checks {
constexpr bool everySubcommandLevelHasOneRow() {
  for (std::size_t level = 0; level < static_cast<std::size_t>(CommandLevel::count); ++level) {
    std::size_t rows = 0;
    for (const SubcommandSpec& subcommand : kSubcommandTable) {
      rows += static_cast<std::size_t>(subcommand.level) == level ? 1 : 0;
    }
    if (rows != (level == static_cast<std::size_t>(CommandLevel::topLevel) ? 0 : 1)) return false;
  }
  return true;
}
static_assert(everySubcommandLevelHasOneRow(),
              "every subcommand level needs exactly one row, the top level none");
}  // namespace subcommand_table_checks

}  // namespace korvaster
