#include "core/commands/build_command.h"

#include "core/build/build_config.h"
#include "core/commands/constants.h"
#include "core/commands/output_option.h"
#include "core/commands/reported_run.h"
#include "core/errors/korvast_error.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/strategies/build_ipa_strategy.h"
#include "core/strategies/modify_and_build_strategy.h"

namespace korvaster {

BuildCommand::BuildCommand(argparse::ArgumentParser& parser, std::shared_ptr<Logger> commandLogger,
                           const Platform& platform)
    : logger(std::move(commandLogger)),
      options_(parser.add(Constants::Commands::Build, Constants::Commands::BuildUsage),
               CommandLevel::build),
      platform_(platform) {}

std::string BuildCommand::name() const { return Constants::Commands::Build; }

Arguments BuildCommand::parse(const argparse::ArgumentParser::Result& args) const {
  return options_.read(args);
}

CommandOutcome BuildCommand::run(const Arguments& arguments) const {
  return runWithReport(arguments, name(), logger, [&](RunReport* report) {
    refuseEmptyOutput(arguments, logger);
    const auto projectPath = lookup(arguments, ArgumentType::projectPath);
    if (!projectPath) throw KorvastError::missedProjectPath();
    const KorvastFileManager fileManager(logger, platform_.files);
    if (contains(arguments, ArgumentType::build)) {
      const auto plistPath = lookup(arguments, ArgumentType::exportPlist);
      if (!plistPath) throw KorvastError::missedExportOptionsPlistPath();
      const BuildConfig config(arguments, *plistPath);
      return BuildIPAStrategy::run(config, fileManager, *projectPath, *platform_.runner, report);
    }
    return ModifyAndBuildStrategy::run(arguments, fileManager, *platform_.runner, report);
  });
}

}  // namespace korvaster
