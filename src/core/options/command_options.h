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

// A text option takes a value; a toggle takes none and counts by presence.
enum class OptionKind { text, toggle };

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
    {"--version", nullptr, "Prints tool version", ArgumentType::version, OptionKind::toggle},
};

class CommandOptions {
 public:
  // Registers on `parser`, in table order, the rows whose type is one of `types`.
  CommandOptions(argparse::ArgumentParser& parser, std::initializer_list<ArgumentType> types);

  // The registered options given at this level or above, in table order: a text option
  // with its text, a switch with an empty value (also when given "=false").
  Arguments read(const argparse::ArgumentParser::Result& result) const;

 private:
  struct Registered {
    ArgumentType type;
    std::shared_ptr<argparse::OptionArgument<std::string>> text;  // null for a switch
    std::shared_ptr<argparse::OptionArgument<bool>> toggle;       // null for a text option
  };
  std::vector<Registered> registered_;
};

}  // namespace korvaster
