// The parsed-argument model: a flat list of (kind, text) pairs that the subcommands hand
// to their workflows, which read it only by kind.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korvaster {

enum class ArgumentType {
  projectPath,
  outputPath,
  exportPlist,
  scheme,
  configuration,
  workspace,
  verbose,
  build,
  version,
  exclude,
  report,
  format,
  dryRun,
  configFile,
  idsFormat,
  namedPath,  // a file or folder named after the options; not an option row (see kPositionalTable)
  baseline,
  writeBaseline,
  rule,
  outputFile,
  count  // not a kind: the number of kinds, for the option table's checks
};

struct Argument {
  Argument(ArgumentType argumentType, std::string argumentValue)
      : type(argumentType), value(std::move(argumentValue)) {}

  ArgumentType type;
  // Empty for boolean options and for the version entry.
  std::string value;

  bool operator==(const Argument& other) const { return type == other.type && value == other.value; }
};

using Arguments = std::vector<Argument>;

// The value of the first argument of this kind (an empty value counts as found), or nothing.
std::optional<std::string> lookup(const Arguments& arguments, ArgumentType type);

// The values of every argument of this kind, in order.
std::vector<std::string> lookupAll(const Arguments& arguments, ArgumentType type);

// Whether any argument has this kind.
bool contains(const Arguments& arguments, ArgumentType type);

}  // namespace korvaster
