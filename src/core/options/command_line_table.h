// The command line of the tool as tables: the top level's texts, one row per subcommand
// (name and overview) and one row per option (names, value kind, help text and the levels
// that take it). Parser registration, usage texts, the man page and the shell completions all
// read these rows; the checks below hold them together at compile time.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string_view>

#include "core/options/argument.h"

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
inline constexpr const char* Fix = "fix";
inline constexpr const char* FixUsage =
    "Inserts missing AccessibilityIdentifiers into the project's own IB files, where Xcode writes them, "
    "changing nothing else. See -h for options.";
inline constexpr const char* Ids = "ids";
inline constexpr const char* IdsUsage =
    "Lists every view in IB files with its AccessibilityIdentifier, a name from its outlet, label or text, "
    "and the class that owns it; changes nothing. See -h for options.";
}  // namespace Commands

}  // namespace korvaster::Constants

namespace korvaster {

// The top level and the subcommands: where on the command line an option can be given.
enum class CommandLevel {
  topLevel,
  modify,
  build,
  check,
  fix,
  ids,
  count  // not a level: the number of levels
};

using CommandLevels = unsigned;

constexpr CommandLevels takenBy(std::initializer_list<CommandLevel> levels) {
  CommandLevels set = 0;
  for (const CommandLevel level : levels) set |= 1u << static_cast<unsigned>(level);
  return set;
}

struct SubcommandSpec {
  CommandLevel level;
  const char* name;
  const char* overview;
};

// In the order of registration and of every listing.
inline constexpr SubcommandSpec kSubcommandTable[] = {
    {CommandLevel::modify, Constants::Commands::Modify, Constants::Commands::ModifyUsage},
    {CommandLevel::build, Constants::Commands::Build, Constants::Commands::BuildUsage},
    {CommandLevel::check, Constants::Commands::Check, Constants::Commands::CheckUsage},
    {CommandLevel::fix, Constants::Commands::Fix, Constants::Commands::FixUsage},
    {CommandLevel::ids, Constants::Commands::Ids, Constants::Commands::IdsUsage},
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

// A text option takes a value; a list option takes one each time it is given; a toggle takes
// none and counts by presence.
enum class OptionKind { text, list, toggle };

// What a value names, for the man page and the completions: a toggle's is `none`.
enum class ValueKind { folder, file, word, none };

struct OptionSpec {
  ArgumentType type;
  const char* name;
  const char* shortName;  // null: none
  OptionKind kind;
  ValueKind value;
  CommandLevels levels;
  const char* usage;
  const char* choices = nullptr;  // the values it takes, each followed by one space; null: any
  const char* valueName = nullptr;  // how the man page names the value; null: DIR, FILE or VALUE by kind

  constexpr bool takenAt(CommandLevel level) const { return (levels & takenBy({level})) != 0; }
  constexpr bool takesValue(std::string_view given) const {
    if (choices == nullptr) return true;
    for (std::string_view rest = choices; !rest.empty(); rest.remove_prefix(rest.find(' ') + 1)) {
      if (rest.substr(0, rest.find(' ')) == given) return true;
    }
    return false;
  }
};

// The values check's --format takes, in the order of CheckFormat.
inline constexpr const char* kCheckFormatNames[] = {"text", "json", "github", "sarif", "junit", "checkstyle", "xcode"};

// The rules check can be told to turn on or off, in the order of the kinds of finding.
inline constexpr const char* kCheckRuleNames[] = {"missingIdentifier", "duplicateIdentifier"};

// In the order of registration, of the Arguments a parse returns and of every listing.
inline constexpr OptionSpec kOptionTable[] = {
    {ArgumentType::projectPath, "--path", "-p", OptionKind::text, ValueKind::folder,
     takenBy({CommandLevel::modify, CommandLevel::build, CommandLevel::check, CommandLevel::fix, CommandLevel::ids}),
     "A path to the Project folder which will be build for Korvast (required)"},
    {ArgumentType::outputPath, "--output", "-o", OptionKind::text, ValueKind::folder,
     takenBy({CommandLevel::modify, CommandLevel::build}), "Path where modified Project will be copied"},
    {ArgumentType::exportPlist, "--export", "-e", OptionKind::text, ValueKind::file,
     takenBy({CommandLevel::build}),
     "A path to ExportOption.plist used for export ipa. See Korvast docs for plist example (required)"},
    {ArgumentType::configuration, "--configuration", "-c", OptionKind::text, ValueKind::word,
     takenBy({CommandLevel::build}), "Configuration to build: e.g. AdHoc, Release", nullptr, "NAME"},
    {ArgumentType::scheme, "--scheme", "-s", OptionKind::text, ValueKind::word,
     takenBy({CommandLevel::build}), "Scheme name to build", nullptr, "NAME"},
    {ArgumentType::workspace, "--workspace", "-w", OptionKind::text, ValueKind::file,
     takenBy({CommandLevel::build}), "Project workspace to build. Tool supports only workspaces for now"},
    {ArgumentType::build, "--buildonly", "-b", OptionKind::toggle, ValueKind::none,
     takenBy({CommandLevel::build}), "Archive and export ipa file without any modifications"},
    {ArgumentType::verbose, "--verbose", "-v", OptionKind::toggle, ValueKind::none,
     takenBy({CommandLevel::build}), "Log message level"},
    {ArgumentType::exclude, "--exclude", nullptr, OptionKind::list, ValueKind::word,
     takenBy({CommandLevel::modify, CommandLevel::build, CommandLevel::check, CommandLevel::fix, CommandLevel::ids}),
     "Glob of IB files to leave alone, relative to the Project folder (repeatable): e.g. Pods/**", nullptr, "GLOB"},
    {ArgumentType::report, "--report", nullptr, OptionKind::text, ValueKind::file,
     takenBy({CommandLevel::modify, CommandLevel::build, CommandLevel::fix}),
     "A path where a JSON report of the run is written, also when it fails"},
    {ArgumentType::format, "--format", nullptr, OptionKind::text, ValueKind::word,
     takenBy({CommandLevel::check}),
     "Output format: text (default), json, github, sarif, junit, checkstyle or xcode (text, paths absolute)",
     "text json github sarif junit checkstyle xcode ", "FORMAT"},
    {ArgumentType::idsFormat, "--format", nullptr, OptionKind::text, ValueKind::word, takenBy({CommandLevel::ids}),
     "Output format: text (default), json, csv, swift or xcuitest", "text json csv swift xcuitest ", "FORMAT"},
    {ArgumentType::outputFile, "--output-file", nullptr, OptionKind::text, ValueKind::file,
     takenBy({CommandLevel::check, CommandLevel::ids}),
     "A path where the output is written instead of standard output, replacing the file in one step"},
    {ArgumentType::dryRun, "--dry-run", nullptr, OptionKind::toggle, ValueKind::none, takenBy({CommandLevel::fix}),
     "Change nothing; print the changes as a unified diff, for patch -p1 or git apply"},
    {ArgumentType::configFile, "--config", nullptr, OptionKind::text, ValueKind::file,
     takenBy({CommandLevel::modify, CommandLevel::build, CommandLevel::check, CommandLevel::fix, CommandLevel::ids}),
     "A configuration file to read instead of the Project folder's .korvaster.yml"},
    {ArgumentType::baseline, "--baseline", nullptr, OptionKind::text, ValueKind::file,
     takenBy({CommandLevel::check}),
     "Report only the findings that are not in this baseline file (see --write-baseline)"},
    {ArgumentType::writeBaseline, "--write-baseline", nullptr, OptionKind::text, ValueKind::file,
     takenBy({CommandLevel::check}), "Record every finding in this baseline file, and report none of them"},
    {ArgumentType::rule, "--rule", nullptr, OptionKind::list, ValueKind::word, takenBy({CommandLevel::check}),
     "Turn a check rule on or off, overriding .korvaster.yml (repeatable): e.g. duplicateIdentifier=off",
     "missingIdentifier=on missingIdentifier=off duplicateIdentifier=on duplicateIdentifier=off ", "RULE=on|off"},
    {ArgumentType::version, "--version", nullptr, OptionKind::toggle, ValueKind::none,
     takenBy({CommandLevel::topLevel}), "Prints tool version"},
};

// The words a level takes after its options: the Interface Builder files and folders to work
// on instead of the whole project, as a hook or a list of changed files hands them over.
struct PositionalSpec {
  ArgumentType type;
  const char* name;
  CommandLevels levels;
  const char* usage;
};

inline constexpr PositionalSpec kPositionalTable[] = {
    {ArgumentType::namedPath, "<path> ...",
     takenBy({CommandLevel::check, CommandLevel::fix, CommandLevel::ids}),
     "IB files or folders to take instead of the whole Project folder (other files are skipped)"},
};

// How usage texts name an option's value: its own name, else DIR, FILE or VALUE by kind; null
// for a toggle.
constexpr const char* valueNameOf(const OptionSpec& spec) {
  if (spec.value == ValueKind::none) return nullptr;
  if (spec.valueName != nullptr) return spec.valueName;
  return spec.value == ValueKind::folder ? "DIR" : spec.value == ValueKind::file ? "FILE" : "VALUE";
}

// The row of `type`; the check below makes sure there is exactly one.
constexpr const OptionSpec& optionSpecOf(ArgumentType type) {
  for (const OptionSpec& option : kOptionTable) {
    if (option.type == type) return option;
  }
  return kOptionTable[0];
}

namespace option_table_checks {

// Usage texts align their columns by counting bytes.
constexpr bool isAscii(const char* text) {
  for (; text != nullptr && *text != '\0'; ++text) {
    if (static_cast<unsigned char>(*text) > 0x7F) return false;
  }
  return true;
}

constexpr bool sameText(const char* left, const char* right) {
  if (left == nullptr || right == nullptr) return left == right;
  while (*left != '\0' && *left == *right) ++left, ++right;
  return *left == *right;
}

constexpr bool everyArgumentTypeHasOneRow() {
  for (std::size_t type = 0; type < static_cast<std::size_t>(ArgumentType::count); ++type) {
    std::size_t rows = 0;
    for (const OptionSpec& option : kOptionTable)
      rows += static_cast<std::size_t>(option.type) == type ? 1 : 0;
    for (const PositionalSpec& positional : kPositionalTable)
      rows += static_cast<std::size_t>(positional.type) == type ? 1 : 0;
    if (rows != 1) return false;
  }
  return true;
}

// The parser only takes words beginning with "-" as options.
constexpr bool everyNameStartsWithDashAndIsAscii() {
  for (const OptionSpec& option : kOptionTable) {
    if (option.name == nullptr || option.name[0] != '-' || !isAscii(option.name)) return false;
    if (option.shortName != nullptr && (option.shortName[0] != '-' || !isAscii(option.shortName))) return false;
  }
  for (const SubcommandSpec& subcommand : kSubcommandTable) {
    if (!isAscii(subcommand.name)) return false;
  }
  return true;
}

constexpr bool noLevelTakesOneNameTwice() {
  for (const OptionSpec& one : kOptionTable) {
    for (const OptionSpec& other : kOptionTable) {
      if (&one == &other || (one.levels & other.levels) == 0) continue;
      if (sameText(one.name, other.name) || sameText(one.name, other.shortName)) return false;
      if (one.shortName != nullptr && sameText(one.shortName, other.shortName)) return false;
    }
  }
  return true;
}

constexpr bool everyRowIsTakenSomewhereAndOnlyTogglesTakeNoValue() {
  for (const OptionSpec& option : kOptionTable) {
    if (option.levels == 0 || option.levels >= takenBy({CommandLevel::count})) return false;
    if ((option.kind == OptionKind::toggle) != (option.value == ValueKind::none)) return false;
    if (option.choices != nullptr) {
      std::string_view choices = option.choices;
      if (option.kind == OptionKind::toggle || choices.empty() || choices.back() != ' ') return false;
    }
  }
  return true;
}

static_assert(everyArgumentTypeHasOneRow(),
              "every ArgumentType needs exactly one row in kOptionTable or kPositionalTable");
static_assert(everyNameStartsWithDashAndIsAscii(),
              "an option name needs a leading dash to be given, and every name ASCII to be aligned");
static_assert(noLevelTakesOneNameTwice(), "two options of one level share a name");
static_assert(everyRowIsTakenSomewhereAndOnlyTogglesTakeNoValue(),
              "an option row needs a level, a value kind of none exactly when it is a toggle, and choices "
              "only for an option that takes a value, each followed by one space");

}  // namespace option_table_checks

}  // namespace korvaster
