#include "core/commands/korvast_command_line_tool.h"

#include "argparse/argument_parser_error.h"
#include "argparse/help_requested.h"
#include "core/commands/korvast_argument_parser.h"
#include "core/commands/versioning.h"
#include "core/errors/korvast_error.h"
#include "files/file_system_errors.h"
#include "core/logging/console_logger.h"
#include "support/interruption.h"
#include "support/output_byte_stream.h"

namespace korvaster {

namespace {
constexpr const char* kReportPrefix = "Whoops! An error occurred: ";

void printLine(support::OutputByteStream& stream, const std::string& text) {
  stream << text << "\n";
  stream.flush();
}
}  // namespace

KorvastCommandLineTool::KorvastCommandLineTool(const std::vector<std::string>& processArguments,
                                               const Platform& platform)
    : logger(std::make_shared<Logger>(std::make_shared<ConsoleLogger>(LogLevel::Info, platform.logLines))),
      platform_(platform) {
  KorvastArgumentParser parser(logger, platform_);
  auto [chosen, parsed] = parser.parse(processArguments);
  command_ = std::move(chosen);
  arguments = std::move(parsed);
}

void KorvastCommandLineTool::checkVerboseArgument() {
  if (logger && contains(arguments, ArgumentType::verbose)) {
    logger->activeLogger = std::make_shared<ConsoleLogger>(LogLevel::Verbose, platform_.logLines);
  }
}

int KorvastCommandLineTool::run() {
  checkVerboseArgument();
  if (!command_) {
    if (contains(arguments, ArgumentType::version))
      printLine(*platform_.output, Versioning::currentVerssion.completeDisplayString());
    return 0;
  }
  const CommandOutcome outcome = command_->run(arguments);
  if (logger && !outcome.description.empty()) logger->log(LogLevel::Info, [&] { return outcome.description; });
  return outcome.exitStatus;
}

int runKorvaster(const std::vector<std::string>& arguments, const Platform& platform) {
  support::installInterruptionHandlers();
  int status = 0;
  try {
    KorvastCommandLineTool tool(arguments, platform);
    status = tool.run();
  } catch (const argparse::HelpRequested& help) {
    *platform.output << help.usage();
    platform.output->flush();
  } catch (const files::PathError& error) {
    printLine(*platform.output, support::genericDescription(error));
    if (!error.reason().empty()) printLine(*platform.output, "Why: " + error.reason() + ".");
    return 1;
  } catch (const KorvastError& error) {
    printLine(*platform.output, kReportPrefix + error.localizedDescription());
    return 1;
  } catch (const support::Interrupted& error) {
    printLine(*platform.output, support::genericDescription(error));
    return error.exitStatus();
  } catch (const argparse::ArgumentParserError& error) {
    printLine(*platform.output, support::genericDescription(error));
    if (error.suggestion()) printLine(*platform.output, "Did you mean '" + *error.suggestion() + "'?");
    return 1;
  } catch (const std::exception& error) {
    printLine(*platform.output, support::genericDescription(error));
    return 1;
  }
  // Success, help and the version line alike: output that never arrived is a failure.
  platform.output->flush();
  return platform.output->failed() ? 1 : status;
}

}  // namespace korvaster
