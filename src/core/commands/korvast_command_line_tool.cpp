#include "core/commands/korvast_command_line_tool.h"

#include "argparse/help_requested.h"
#include "core/commands/korvast_argument_parser.h"
#include "core/commands/versioning.h"
#include "core/errors/korvast_error.h"
#include "core/logging/console_logger.h"
#include "support/interruption.h"
#include "support/output_byte_stream.h"

namespace korvaster {

namespace {
constexpr const char* kReportPrefix = "Whoops! An error occurred: ";

void printLine(const std::string& text) {
  auto& stream = support::stdoutStream();
  stream << text << "\n";
  stream.flush();
}
}  // namespace

KorvastCommandLineTool::KorvastCommandLineTool(const std::vector<std::string>& processArguments,
                                               std::shared_ptr<LineWriter> writer)
    : logger(std::make_shared<Logger>(std::make_shared<ConsoleLogger>(LogLevel::Info, writer))),
      writer_(std::move(writer)) {
  KorvastArgumentParser parser(logger);
  auto [chosen, parsed] = parser.parse(processArguments);
  command_ = std::move(chosen);
  arguments = std::move(parsed);
}

void KorvastCommandLineTool::checkVerboseArgument() {
  if (logger && contains(arguments, ArgumentType::verbose)) {
    logger->activeLogger = std::make_shared<ConsoleLogger>(LogLevel::Verbose, writer_);
  }
}

void KorvastCommandLineTool::run() {
  checkVerboseArgument();
  if (!command_) {
    if (contains(arguments, ArgumentType::version))
      printLine(Versioning::currentVerssion.completeDisplayString());
    return;
  }
  const CommandOutcome outcome = command_->run(arguments);
  if (logger) logger->log(LogLevel::Info, [&] { return outcome.description; });
}

int runKorvaster(const std::vector<std::string>& arguments, std::shared_ptr<LineWriter> writer) {
  support::installInterruptionHandlers();
  try {
    KorvastCommandLineTool tool(arguments, std::move(writer));
    tool.run();
  } catch (const argparse::HelpRequested& help) {
    auto& stream = support::stdoutStream();
    stream << help.usage();
    stream.flush();
  } catch (const KorvastError& error) {
    printLine(kReportPrefix + error.localizedDescription());
    return 1;
  } catch (const support::Interrupted& error) {
    printLine(support::genericDescription(error));
    return error.exitStatus();
  } catch (const std::exception& error) {
    printLine(support::genericDescription(error));
    return 1;
  }
  // Success, help and the version line alike: output that never arrived is a failure.
  auto& output = support::stdoutStream();
  output.flush();
  return output.failed() ? 1 : 0;
}

}  // namespace korvaster
