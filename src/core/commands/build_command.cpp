#include "core/commands/build_command.h"

#include "core/build/build_config.h"
#include "core/commands/constants.h"
#include "core/errors/korvast_error.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/strategies/build_ipa_strategy.h"
#include "core/strategies/modify_and_build_strategy.h"

namespace korvaster {

namespace {
template <typename... Options>
std::vector<std::unique_ptr<GenericOptionProtocol>> makeOptions() {
  std::vector<std::unique_ptr<GenericOptionProtocol>> options;
  (options.push_back(std::make_unique<Options>()), ...);
  return options;
}

template <typename T>
std::vector<std::shared_ptr<argparse::OptionArgument<T>>> handlesOfKind(
    const std::unordered_map<std::shared_ptr<argparse::AnyArgument>, ArgumentType>& map) {
  std::vector<std::shared_ptr<argparse::OptionArgument<T>>> handles;
  for (const auto& entry : map) {
    if (auto handle = std::dynamic_pointer_cast<argparse::OptionArgument<T>>(entry.first))
      handles.push_back(handle);
  }
  return handles;
}
}  // namespace

BuildCommand::BuildCommand(argparse::ArgumentParser& parser, std::shared_ptr<Logger> commandLogger)
    : logger(std::move(commandLogger)),
      name_(Constants::Commands::Build) {
  auto& subparser = parser.add(Constants::Commands::Build, Constants::Commands::BuildUsage);
  registerOptions(
      makeOptions<PathOption, OutputOption, ExportOption, ConfigOption, SchemeOption, WorkspaceOption>(),
      subparser, OptionKind::text);
  registerOptions(makeOptions<BuildOnlyOption, VerboseOption>(), subparser, OptionKind::boolean);
}

void BuildCommand::registerOptions(const std::vector<std::unique_ptr<GenericOptionProtocol>>& opts,
                                   argparse::ArgumentParser& parser, OptionKind kind) {
  for (const auto& option : opts) {
    OptionHandle handle;
    if (kind == OptionKind::text) {
      handle = parser.add<std::string>(option->name(), option->shortName(), option->descr());
    } else {
      handle = parser.add<bool>(option->name(), option->shortName(), option->descr());
    }
    map_[handle] = option->type();
  }
}

template <typename T>
Arguments BuildCommand::parseOptions(
    const std::vector<std::shared_ptr<argparse::OptionArgument<T>>>& optionArgs,
    const argparse::ArgumentParser::Result& args) const {
  Arguments arguments;
  for (const auto& handle : optionArgs) {
    const auto value = args.get(handle);
    if (!value) continue;
    const auto mapped = map_.find(handle);
    if (mapped == map_.end()) continue;
    // A switch counts by presence: "=false" attached yields the same argument as none.
    if constexpr (std::is_same_v<T, bool>) {
      arguments.emplace_back(mapped->second, std::string());
    } else {
      arguments.emplace_back(mapped->second, *value);
    }
  }
  return arguments;
}

Arguments BuildCommand::parse(const argparse::ArgumentParser::Result& args) const {
  Arguments arguments = parseOptions(handlesOfKind<std::string>(map_), args);
  for (auto& argument : parseOptions(handlesOfKind<bool>(map_), args))
    arguments.push_back(std::move(argument));
  return arguments;
}

CommandOutcome BuildCommand::run(const Arguments& arguments) const {
  const auto projectPath = lookup(arguments, ArgumentType::projectPath);
  if (!projectPath) throw KorvastError::missedProjectPath();
  const KorvastFileManager fileManager(logger);
  if (contains(arguments, ArgumentType::build)) {
    const auto plistPath = lookup(arguments, ArgumentType::exportPlist);
    if (!plistPath) throw KorvastError::missedExportOptionsPlistPath();
    const BuildConfig config(arguments, *plistPath);
    return BuildIPAStrategy::run(config, fileManager, *projectPath);
  }
  return ModifyAndBuildStrategy::run(arguments, fileManager);
}

}  // namespace korvaster
