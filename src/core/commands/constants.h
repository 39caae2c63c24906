// The texts of the top level and of the two subcommands.
#pragma once

namespace korvaster::Constants {

namespace CommandInfo {
inline constexpr const char* Name = "korvaster";
inline constexpr const char* Usage = "<command> [<args>]";
inline constexpr const char* Overview =
    "korvaster able to find all your InterfaceBuilder's files and set an AccesibilityIdentifier, if it's "
    "nil, for "
    "UIView instances based on XCode generated id.\nkorvaster also able to build an IPA file.\n\nkorvaster "
    "is "
    "designed for development purposes, do not rely on it in your poduction code.";
inline constexpr const char* More = "https://korvast.io/docs/application/tvos-korvaster/";
}  // namespace CommandInfo

namespace Commands {
inline constexpr const char* Modify = "modify";
inline constexpr const char* ModifyUsage =
    "Copies source code, looks for elements without AccesibilityIdentifier in IB files and set value. See -h "
    "for "
    "options.";
inline constexpr const char* Build = "build";
inline constexpr const char* BuildUsage =
    "Can set AccesibilityIdentifier and(or) build IPA file. See -h for options.";
inline constexpr const char* Check = "check";
inline constexpr const char* CheckUsage =
    "Lists the views in IB files without AccessibilityIdentifier, and identifiers used twice; changes "
    "nothing. See -h for options.";
}  // namespace Commands

}  // namespace korvaster::Constants

#include <initializer_list>

#include "core/options/argument.h"

namespace korvaster {

// The options each level of the command line takes, in registration order; the usage
// texts, the man page and the shell completions are all made from these lists and the
// option table.
namespace CommandOptionLists {
inline constexpr std::initializer_list<ArgumentType> TopLevel = {ArgumentType::version};
inline constexpr std::initializer_list<ArgumentType> Modify = {ArgumentType::projectPath, ArgumentType::outputPath,
                                                              ArgumentType::exclude, ArgumentType::report};
inline constexpr std::initializer_list<ArgumentType> Build = {
    ArgumentType::projectPath, ArgumentType::outputPath, ArgumentType::exportPlist, ArgumentType::configuration,
    ArgumentType::scheme,      ArgumentType::workspace,  ArgumentType::build,       ArgumentType::verbose,
    ArgumentType::exclude,     ArgumentType::report};
inline constexpr std::initializer_list<ArgumentType> Check = {ArgumentType::projectPath, ArgumentType::exclude,
                                                             ArgumentType::format};
}  // namespace CommandOptionLists

}  // namespace korvaster
