#include "core/commands/korvast_argument_parser.h"

#include "core/commands/subcommand_workflows.h"
#include "core/errors/korvast_error.h"
#include "core/options/command_line_table.h"
#include "support/output_byte_stream.h"

namespace korvaster {

KorvastArgumentParser::KorvastArgumentParser(std::shared_ptr<Logger> logger, const Platform& platform)
    : logger_(std::move(logger)),
      platform_(platform),
      parser_(std::make_unique<argparse::ArgumentParser>(
          Constants::CommandInfo::Name, Constants::CommandInfo::Usage, Constants::CommandInfo::Overview,
          Constants::CommandInfo::More)),
      version_(*parser_, CommandLevel::topLevel) {
  for (const SubcommandSpec& subcommand : kSubcommandTable) {
    cmds_.push_back(std::make_shared<RegisterableCommand>(*parser_, subcommand.level, workflowOf(subcommand.level),
                                                          logger_, platform_));
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
