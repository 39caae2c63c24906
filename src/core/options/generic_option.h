// Descriptions of the options the build subcommand registers: names, text and the kind of
// Argument each one's value becomes. Whether an option takes text or is a switch is decided
// where it is registered.
#pragma once

#include <optional>
#include <string>

#include "core/options/argument.h"
#include "core/options/options_usages.h"

namespace korvaster {

class GenericOptionProtocol {
 public:
  virtual ~GenericOptionProtocol() = default;
  virtual std::string name() const = 0;
  virtual std::optional<std::string> shortName() const = 0;
  virtual std::string descr() const = 0;
  virtual ArgumentType type() const = 0;
};

namespace detail {
template <const char* const& Name, const char* const& ShortName, const char* const& Descr, ArgumentType Type>
class FixedOption final : public GenericOptionProtocol {
 public:
  std::string name() const override { return Name; }
  std::optional<std::string> shortName() const override { return std::string(ShortName); }
  std::string descr() const override { return Descr; }
  ArgumentType type() const override { return Type; }
};
}  // namespace detail

namespace option_names {
inline constexpr const char* Path = "--path";
inline constexpr const char* PathShort = "-p";
inline constexpr const char* Output = "--output";
inline constexpr const char* OutputShort = "-o";
inline constexpr const char* Export = "--export";
inline constexpr const char* ExportShort = "-e";
inline constexpr const char* Configuration = "--configuration";
inline constexpr const char* ConfigurationShort = "-c";
inline constexpr const char* Scheme = "--scheme";
inline constexpr const char* SchemeShort = "-s";
inline constexpr const char* Workspace = "--workspace";
inline constexpr const char* WorkspaceShort = "-w";
inline constexpr const char* BuildOnly = "--buildonly";
inline constexpr const char* BuildOnlyShort = "-b";
inline constexpr const char* Verbose = "--verbose";
inline constexpr const char* VerboseShort = "-v";
inline constexpr const char* Version = "--version";
}  // namespace option_names

using PathOption = detail::FixedOption<option_names::Path, option_names::PathShort,
                                       Constants::OptionsUsages::Path, ArgumentType::projectPath>;
using OutputOption = detail::FixedOption<option_names::Output, option_names::OutputShort,
                                         Constants::OptionsUsages::Out, ArgumentType::outputPath>;
using ExportOption = detail::FixedOption<option_names::Export, option_names::ExportShort,
                                         Constants::OptionsUsages::Export, ArgumentType::exportPlist>;
using ConfigOption = detail::FixedOption<option_names::Configuration, option_names::ConfigurationShort,
                                         Constants::OptionsUsages::Configurtion, ArgumentType::configuration>;
using SchemeOption = detail::FixedOption<option_names::Scheme, option_names::SchemeShort,
                                         Constants::OptionsUsages::Scheme, ArgumentType::scheme>;
using WorkspaceOption = detail::FixedOption<option_names::Workspace, option_names::WorkspaceShort,
                                            Constants::OptionsUsages::Workspace, ArgumentType::workspace>;
using BuildOnlyOption = detail::FixedOption<option_names::BuildOnly, option_names::BuildOnlyShort,
                                            Constants::OptionsUsages::BuildOnly, ArgumentType::build>;
using VerboseOption = detail::FixedOption<option_names::Verbose, option_names::VerboseShort,
                                          Constants::OptionsUsages::Verbose, ArgumentType::verbose>;

}  // namespace korvaster
