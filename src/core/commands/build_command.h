// The `build` subcommand: archives a project (a modified copy, or the project as it is)
// and exports an .ipa.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "core/commands/registerable_command.h"
#include "core/logging/logger.h"
#include "core/options/generic_option.h"

namespace korvaster {

class BuildCommand final : public RegisterableCommand {
 public:
  // Registers the "build" subparser with its text options, then its switches.
  BuildCommand(argparse::ArgumentParser& parser, std::shared_ptr<Logger> logger);

  std::string name() const override { return name_; }
  // Every text argument first, then every switch; within each group in no fixed order.
  Arguments parse(const argparse::ArgumentParser::Result& args) const override;
  CommandOutcome run(const Arguments& arguments) const override;

  std::shared_ptr<Logger> logger;

 private:
  enum class OptionKind { text, boolean };
  using OptionHandle = std::shared_ptr<argparse::AnyArgument>;

  void registerOptions(const std::vector<std::unique_ptr<GenericOptionProtocol>>& opts,
                       argparse::ArgumentParser& parser, OptionKind kind);
  template <typename T>
  Arguments parseOptions(const std::vector<std::shared_ptr<argparse::OptionArgument<T>>>& optionArgs,
                         const argparse::ArgumentParser::Result& args) const;

  std::string name_;
  std::unordered_map<OptionHandle, ArgumentType> map_;
};

}  // namespace korvaster
