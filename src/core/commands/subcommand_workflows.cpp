#include "core/commands/subcommand_workflows.h"

#include "core/commands/document_output.h"
#include "core/commands/output_option.h"
#include "core/commands/reported_run.h"
#include "core/commands/writable_place.h"
#include "core/errors/korvast_error.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/strategies/build_ipa_strategy.h"
#include "core/strategies/check_identifiers_strategy.h"
#include "core/strategies/fix_identifiers_strategy.h"
#include "core/strategies/list_identifiers_strategy.h"
#include "core/strategies/modify_and_build_strategy.h"
#include "core/strategies/modify_source_code_strategy.h"
#include "files/file_io_error.h"

namespace korvaster {

namespace {

// `modify` and `build` change files, so they refuse an empty --output before any work; those
// two and `fix` write a --report however they end. The working folder is made only once the
// workflow has what it needs.
template <typename Work>
CommandOutcome reported(const RegisterableCommand& command, const Arguments& arguments, bool checksOutput,
                        const Work& work) {
  const auto& platform = command.platform();
  return runWithReport(arguments, command.name(), command.logger, platform.files, [&](RunReport* report) {
    if (checksOutput) refuseEmptyOutput(arguments, command.logger);
    return work(report);
  });
}

CommandOutcome modify(const RegisterableCommand& command, const Arguments& arguments) {
  return reported(command, arguments, true, [&](RunReport* report) {
    return ModifySourceCodeStrategy::run(
        arguments, KorvastFileManager(command.logger, command.platform().files, command.platform().surroundings()), report);
  });
}

CommandOutcome build(const RegisterableCommand& command, const Arguments& arguments) {
  return reported(command, arguments, true, [&](RunReport* report) {
    const auto projectPath = lookup(arguments, ArgumentType::projectPath);
    if (!projectPath) throw KorvastError::missedProjectPath();
    const KorvastFileManager fileManager(command.logger, command.platform().files, command.platform().surroundings());
    support::CommandRunner& runner = *command.platform().runner;
    if (!contains(arguments, ArgumentType::build))
      return ModifyAndBuildStrategy::run(arguments, fileManager, runner, report);
    return BuildIPAStrategy::run(BuildIPAStrategy::configure(arguments, fileManager), fileManager,
                                 *projectPath, runner, report);
  });
}

CommandOutcome fix(const RegisterableCommand& command, const Arguments& arguments) {
  return reported(command, arguments, false, [&](RunReport* report) {
    const KorvastFileManager fileManager(command.logger, command.platform().files, command.platform().surroundings());
    return FixIdentifiersStrategy::run(arguments, fileManager, *command.platform().output, report);
  });
}

// Appends check's table to the summary page of the GitHub job it runs in; throws the file
// layer's FileIOError after an Error line.
void appendJobSummary(const RegisterableCommand& command, const std::string& path, const std::string& markdown) {
  try {
    command.platform().files->appendToFile(path, markdown);
  } catch (const files::FileIOError& error) {
    if (command.logger) {
      command.logger->log(LogLevel::Error, [&] {
        return "Can't write the job summary (GITHUB_STEP_SUMMARY): " + support::genericDescription(error);
      });
    }
    throw;
  }
}

constexpr WrittenFileLabel kRecordedLabel = {"the baseline (--write-baseline)", "a baseline"};
constexpr WrittenFileLabel kJobSummaryLabel = {"the job summary (GITHUB_STEP_SUMMARY)", "a job summary"};

// Where GitHub's format adds its table in a GitHub job; nothing in any other run.
std::optional<std::string> jobSummaryPath(const Platform& platform, CheckFormat format) {
  auto path = platform.environment->variable("GITHUB_STEP_SUMMARY");
  if (format != CheckFormat::github || (path && path->empty())) return std::nullopt;
  return path;
}

// Before any work, each file check writes by name is refused where it could never be written,
// and so are two of its files that are one: one output would take the other's place, or the
// baseline read would be overwritten by anything but the baseline recorded from it.
void refuseUnwritableOutputs(const RegisterableCommand& command, const Arguments& arguments,
                             const std::optional<std::string>& summaryPath) {
  const auto& system = command.platform().files;
  std::vector<NamedFile> named;
  if (const auto path = lookup(arguments, ArgumentType::configFile)) named.push_back({"the settings (--config)", *path});
  if (const auto path = lookup(arguments, ArgumentType::baseline))
    named.push_back({"the baseline (--baseline)", *path, true});
  if (const auto path = lookup(arguments, ArgumentType::writeBaseline)) {
    refuseUnwritablePlace(system, *path, command.logger, kRecordedLabel);
    named.push_back({kRecordedLabel.withOption, *path, true});
  }
  if (const auto path = lookup(arguments, ArgumentType::outputFile))
    named.push_back({"the output file (--output-file)", *path});
  if (summaryPath) {
    refuseUnwritablePlace(system, *summaryPath, command.logger, kJobSummaryLabel, WriteMode::appended);
    named.push_back({kJobSummaryLabel.withOption, *summaryPath});
  }
  refuseSameFile(*system, named, command.logger);
}

// What a baseline recorded keeps of the files a run does not read: the --baseline compared
// with, or else, in a run of named files, the baseline `path` holds when it reads as one. A run
// of the whole project without --baseline records anew.
CheckBaseline keptBaseline(const files::FileManager& system, const Arguments& arguments,
                           const std::optional<CheckBaseline>& compared, const std::string& path) {
  if (compared) return *compared;
  if (lookupAll(arguments, ArgumentType::namedPath).empty() || !system.isRegularFile(path)) return {};
  try {
    return CheckBaseline::parse(system.readContents(path), path);
  } catch (const BaselineError&) {
    return {};
  }
}

// A run over no file at all passes, which a mistyped --path should not do unremarked.
void sayNothingWasFound(const RegisterableCommand& command) {
  if (!command.logger) return;
  command.logger->log(LogLevel::Warning, [] {
    return "No Interface Builder file (.xib or .storyboard) was found there: nothing was read.";
  });
}

// The format's value was checked against the option's choices when the Arguments were read;
// the status says what was found. A baseline to record is written only once every file was
// checked, so that an interrupted run leaves the old one. A document written to a file leaves
// the summary line on standard output; GitHub's format in a GitHub job adds a table to the
// job's summary page.
CommandOutcome check(const RegisterableCommand& command, const Arguments& arguments) {
  const auto format =
      checkFormatNamed(lookup(arguments, ArgumentType::format).value_or("text")).value_or(CheckFormat::text);
  const auto& platform = command.platform();
  const auto recordTo = lookup(arguments, ArgumentType::writeBaseline);
  const auto summaryPath = jobSummaryPath(platform, format);
  refuseUnwritableOutputs(command, arguments, summaryPath);
  CheckFilter filter(CheckRules::from(arguments));
  std::optional<CheckBaseline> compared;
  if (const auto baseline = lookup(arguments, ArgumentType::baseline))
    compared = CheckBaseline::parse(platform.files->readContents(*baseline), *baseline);
  if (compared) filter.compareWith(*compared);
  if (recordTo) filter.record(keptBaseline(*platform.files, arguments, compared, *recordTo));
  DocumentOutput document(arguments, platform, command.logger);
  CheckJobSummary jobSummary;
  const CheckTotals totals = CheckIdentifiersStrategy::run(arguments, format, filter, platform.files, document.stream(),
                                                           platform.workers(), summaryPath ? &jobSummary : nullptr);
  document.finish();
  if (totals.files == 0) sayNothingWasFound(command);
  if (document.goesToFile()) *platform.output << checkSummaryLine(totals) << "\n";
  if (summaryPath) appendJobSummary(command, *summaryPath, jobSummary.markdown(totals));
  const int status = totals.foundAnything() ? 1 : 0;
  if (!recordTo) return {{}, {}, status};
  const CheckBaseline recorded = filter.recorded();
  platform.files->writeAtomically(*recordTo, recorded.text(), true);
  const std::string written =
      std::to_string(recorded.size()) + (recorded.size() == 1 ? " entry" : " entries");
  return {{}, "Wrote " + written + " to the baseline " + *recordTo, status};
}

CommandOutcome ids(const RegisterableCommand& command, const Arguments& arguments) {
  const auto format = idsFormatNamed(lookup(arguments, ArgumentType::idsFormat).value_or("text"));
  const auto& platform = command.platform();
  DocumentOutput document(arguments, platform, command.logger);
  std::size_t entries = 0;
  const int status = ListIdentifiersStrategy::run(arguments, format.value_or(IdsFormat::text), platform.files,
                                                  document.stream(), platform.workers(), &entries);
  document.finish();
  if (entries == 0) sayNothingWasFound(command);
  return {{}, {}, status};
}

}  // namespace

// A level without a case here fails the build (-Wswitch).
RegisterableCommand::Workflow workflowOf(CommandLevel level) {
  switch (level) {
    case CommandLevel::modify:
      return modify;
    case CommandLevel::build:
      return build;
    case CommandLevel::check:
      return check;
    case CommandLevel::fix:
      return fix;
    case CommandLevel::ids:
      return ids;
    case CommandLevel::topLevel:
    case CommandLevel::count:
      break;
  }
  return nullptr;
}

}  // namespace korvaster
