#include "core/commands/modify_sources_command.h"

#include "core/commands/constants.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/options/generic_option.h"
#include "core/strategies/modify_source_code_strategy.h"

namespace korvaster {

ModifySourcesCommand::ModifySourcesCommand(argparse::ArgumentParser& parser,
                                           std::shared_ptr<Logger> commandLogger)
    : logger(std::move(commandLogger)) {
  auto& subparser = parser.add(Constants::Commands::Modify, Constants::Commands::ModifyUsage);
  source_ = subparser.add<std::string>(option_names::Path, std::string(option_names::PathShort),
                                       std::string(Constants::OptionsUsages::Path));
  output_ = subparser.add<std::string>(option_names::Output, std::string(option_names::OutputShort),
                                       std::string(Constants::OptionsUsages::Out));
}

std::string ModifySourcesCommand::name() const { return Constants::Commands::Modify; }

Arguments ModifySourcesCommand::parse(const argparse::ArgumentParser::Result& args) const {
  Arguments arguments;
  if (auto path = args.get(source_)) arguments.emplace_back(ArgumentType::projectPath, *path);
  if (auto path = args.get(output_)) arguments.emplace_back(ArgumentType::outputPath, *path);
  return arguments;
}

CommandOutcome ModifySourcesCommand::run(const Arguments& arguments) const {
  const KorvastFileManager fileManager(logger);
  return ModifySourceCodeStrategy::run(arguments, fileManager);
}

}  // namespace korvaster
