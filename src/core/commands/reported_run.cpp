#include "core/commands/reported_run.h"

#include <chrono>

#include "core/commands/writable_place.h"
#include "core/errors/korvast_error.h"
#include "files/file_io_error.h"
#include "support/interruption.h"

namespace korvaster {

namespace {

// Writes the report; false (after an Error line) when it could not be.
bool writeReport(const files::FileManager& system, const std::string& path, const RunReport& report,
                 const std::shared_ptr<Logger>& logger, std::optional<files::FileIOError>* failure) {
  try {
    system.writeAtomically(path, reportJson(report), true);
    return true;
  } catch (const files::FileIOError& error) {
    if (logger)
      logger->log(LogLevel::Error,
                  [&] { return "Can't write the report: " + support::genericDescription(error); });
    if (failure) failure->emplace(error);
  }
  return false;
}

}  // namespace

CommandOutcome runWithReport(const Arguments& arguments, const std::string& command,
                             const std::shared_ptr<Logger>& logger,
                             const std::shared_ptr<files::FileManager>& system,
                             const std::function<CommandOutcome(RunReport*)>& workflow) {
  const auto path = lookup(arguments, ArgumentType::report);
  if (!path) return workflow(nullptr);
  refuseUnwritablePlace(system, *path, logger, {"the report (--report)", "a report"});
  if (const auto settings = lookup(arguments, ArgumentType::configFile))
    refuseSameFile(*system, {{"the settings (--config)", *settings}, {"the report (--report)", *path}}, logger);

  RunReport report;
  report.command = command;
  const auto started = std::chrono::steady_clock::now();
  const auto finish = [&](const char* status, std::optional<std::string> error,
                          std::optional<files::FileIOError>* failure) {
    report.status = status;
    report.error = std::move(error);
    report.durationSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return writeReport(*system, *path, report, logger, failure);
  };
  CommandOutcome outcome;
  try {
    outcome = workflow(&report);
  } catch (const support::Interrupted& error) {
    finish("interrupted", error.description(), nullptr);
    throw;
  } catch (const KorvastError& error) {
    report.errorCause = error.cause();
    finish("failed", error.localizedDescription(), nullptr);
    throw;
  } catch (const std::exception& error) {
    finish("failed", support::genericDescription(error), nullptr);
    throw;
  }
  std::optional<files::FileIOError> failure;
  const bool succeeded = outcome.exitStatus == 0;
  if (!finish(succeeded ? "succeeded" : "failed",
              succeeded ? std::nullopt : std::optional(outcome.description), &failure))
    throw *failure;
  return outcome;
}

}  // namespace korvaster
