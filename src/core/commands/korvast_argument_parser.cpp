#include "core/commands/korvast_argument_parser.h"

#include "core/commands/build_command.h"
#include "core/commands/check_command.h"
#include "core/commands/fix_command.h"
#include "core/commands/ids_command.h"
#include "core/options/command_line_table.h"
#include "core/commands/modify_sources_command.h"
#include "core/errors/korvast_error.h"
#include "support/output_byte_stream.h"

namespace korvaster {

namespace {

// The command of a subcommand level; a level without a case here fails the build (-Wswitch).
std::shared_ptr<RegisterableCommand> makeCommand(CommandLevel level, argparse::ArgumentParser& parser,
                                                 const std::shared_ptr<Logger>& logger,
                                                 const Platform& platform) {
  switch (level) {
    case CommandLevel::modify:
      return std::make_shared<ModifySourcesCommand>(parser, logger, platform);
    case CommandLevel::build:
      return std::make_shared<BuildCommand>(parser, logger, platform);
    case CommandLevel::check:
      return std::make_shared<CheckCommand>(parser, logger, platform);
    case CommandLevel::fix:
      return std::make_shared<FixCommand>(parser, logger, platform);
    case CommandLevel::ids:
      return std::make_shared<IdsCommand>(parser, logger, platform);
    case CommandLevel::topLevel:
    case CommandLevel::count:
      break;
  }
  return nullptr;
}

}  // namespace

KorvastArgumentParser::KorvastArgumentParser(std::shared_ptr<Logger> logger, const Platform& platform)
    : logger_(std::move(logger)),
      platform_(platform),
      parser_(std::make_unique<argparse::ArgumentParser>(
          Constants::CommandInfo::Name, Constants::CommandInfo::Usage, Constants::CommandInfo::Overview,
          Constants::CommandInfo::More)),
      version_(*parser_, CommandLevel::topLevel) {
  for (const SubcommandSpec& subcommand : kSubcommandTable) {
    cmds_.push_back(makeCommand(subcommand.level, *parser_, logger_, platform_));
  }
}

std::pair<std::shared_ptr<RegisterableCommand>, Arguments> KorvastArgumentParser::parse(
    const std::vector<std::string>& arguments) {
  const std::vector<std::string> words(arguments.empty() ? arguments.end() : arguments.begin() + 1,
                                       arguments.end());
  try {
    const auto result = parser_->parse(words);
    if (Arguments version = version_.read(*result); !version.empty()) return {nullptr, version};
    if (const auto chosen = result->subparser(*parser_)) {
      for (const auto& command : cmds_) {
        if (command->name() == *chosen) return {command, command->parse(*result)};
      }
    }
    parser_->printUsage(*platform_.output);
    throw KorvastError::missingArguments();
  } catch (const argparse::ArgumentParserError& error) {
    if (logger_) logger_->log(LogLevel::Error, [&] { return "ArgumentParserError" + error.description(); });
    parser_->printUsage(*platform_.output);
    throw;
  } catch (const std::exception& error) {
    if (logger_) logger_->log(LogLevel::Error, [&] { return support::genericDescription(error); });
    throw;
  }
}

}  // namespace korvaster
