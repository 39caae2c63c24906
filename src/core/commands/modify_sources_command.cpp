#include "core/commands/modify_sources_command.h"

#include "core/commands/constants.h"
#include "core/commands/output_option.h"
#include "core/commands/reported_run.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/strategies/modify_source_code_strategy.h"

namespace korvaster {

ModifySourcesCommand::ModifySourcesCommand(argparse::ArgumentParser& parser,
                                           std::shared_ptr<Logger> commandLogger, const Platform& platform)
    : logger(std::move(commandLogger)),
      options_(parser.add(Constants::Commands::Modify, Constants::Commands::ModifyUsage),
               CommandLevel::modify),
      platform_(platform) {}

std::string ModifySourcesCommand::name() const { return Constants::Commands::Modify; }

Arguments ModifySourcesCommand::parse(const argparse::ArgumentParser::Result& args) const {
  return options_.read(args);
}

CommandOutcome ModifySourcesCommand::run(const Arguments& arguments) const {
  return runWithReport(arguments, name(), logger, [&](RunReport* report) {
    refuseEmptyOutput(arguments, logger);
    const KorvastFileManager fileManager(logger, platform_.files);
    return ModifySourceCodeStrategy::run(arguments, fileManager, report);
  });
}

}  // namespace korvaster
