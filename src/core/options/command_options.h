// The options of the tool, one table row each, and CommandOptions: the rows one parser
// level registers, read back as Arguments. The table's order is the order of registration
// and of the Arguments a parse returns.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "argparse/argument_parser.h"
#include "core/options/argument.h"

namespace korvaster {

// A text option takes a value; a list option takes one each time it is given; a toggle takes
// none and counts by presence.
enum class OptionKind { text, list, toggle };

struct OptionSpec {
  const char* name;
  const char* shortName;  // null: none
  const char* usage;
  ArgumentType type;
  OptionKind kind;
};

inline constexpr OptionSpec kOptionTable[] = {
    {"--path", "-p", "A path to the Project folder which will be build for Korvast (required)",
     ArgumentType::projectPath, OptionKind::text},
    {"--output", "-o", "Path where modified Project will be copied", ArgumentType::outputPath,
     OptionKind::text},
    {"--export", "-e",
     "A path to ExportOption.plist used for export ipa. See Korvast docs for plist example (required)",
     ArgumentType::exportPlist, OptionKind::text},
    {"--configuration", "-c", "Configuration to build: e.g. AdHoc, Release", ArgumentType::configuration,
     OptionKind::text},
    {"--scheme", "-s", "Scheme name to build", ArgumentType::scheme, OptionKind::text},
    {"--workspace", "-w", "Project workspace to build. Tool supports only workspaces for now",
     ArgumentType::workspace, OptionKind::text},
    {"--buildonly", "-b", "Archive and export ipa file without any modifications", ArgumentType::build,
     OptionKind::toggle},
    {"--verbose", "-v", "Log message level", ArgumentType::verbose, OptionKind::toggle},
    {"--exclude", nullptr, "Glob of IB files to leave alone, relative to the Project folder (repeatable): e.g. Pods/**",
     ArgumentType::exclude, OptionKind::list},
    {"--report", nullptr, "A path where a JSON report of the run is written, also when it fails",
     ArgumentType::report, OptionKind::text},
    {"--format", nullptr, "Output format: text (default), json or github", ArgumentType::format,
     OptionKind::text},
    {"--version", nullptr, "Prints tool version", ArgumentType::version, OptionKind::toggle},
};

class CommandOptions {
 public:
  // Registers on `parser`, in table order, the rows whose type is one of `types`.
  CommandOptions(argparse::ArgumentParser& parser, std::initializer_list<ArgumentType> types);

  // The registered options given at this level or above, in table order: a text option
  // with its text, a list option once for each text, in order, a switch with an empty value
  // (also when given "=false").
  Arguments read(const argparse::ArgumentParser::Result& result) const;

 private:
  struct Registered {
    ArgumentType type;
    // Exactly one of the three is set, after the row's kind.
    std::shared_ptr<argparse::OptionArgument<std::string>> text;
    std::shared_ptr<argparse::OptionArgument<argparse::TextList>> list;
    std::shared_ptr<argparse::OptionArgument<bool>> toggle;
  };
  std::vector<Registered> registered_;
};

}  // namespace korvaster
