// The built binary as a user meets it: standard output, log lines and exit status.
#include <gtest/gtest.h>

#include "e2e/child_process.h"
#include "temporary_folder.h"

namespace korvaster::testing {
namespace {

const std::string kTopUsage =
    "OVERVIEW: korvaster able to find all your InterfaceBuilder's files and set an AccesibilityIdentifier, "
    "if it's "
    "nil, for UIView instances based on XCode generated id.\n"
    "korvaster also able to build an IPA file.\n"
    "\n"
    "korvaster is designed for development purposes, do not rely on it in your poduction code.\n"
    "\n"
    "USAGE: korvaster <command> [<args>]\n"
    "\n"
    "OPTIONS:\n"
    "  --version   Prints tool version\n"
    "  --help      Display available options\n"
    "\n"
    "SUBCOMMANDS:\n"
    "  build       Can set AccesibilityIdentifier and(or) build IPA file. See -h for options.\n"
    "  modify      Copies source code, looks for elements without AccesibilityIdentifier in IB files and set "
    "value. See -h for options.\n"
    "\n"
    "SEE ALSO: https://korvast.io/docs/application/tvos-korvaster/\n";

const std::string kBuildUsage =
    "OVERVIEW: Can set AccesibilityIdentifier and(or) build IPA file. See -h for options.\n"
    "\n"
    "OPTIONS:\n"
    "  --buildonly, -b       Archive and export ipa file without any modifications\n"
    "  --configuration, -c   Configuration to build: e.g. AdHoc, Release\n"
    "  --export, -e          A path to ExportOption.plist used for export ipa. See Korvast docs for plist "
    "example (required)\n"
    "  --output, -o          Path where modified Project will be copied\n"
    "  --path, -p            A path to the Project folder which will be build for Korvast (required)\n"
    "  --scheme, -s          Scheme name to build\n"
    "  --verbose, -v         Log message level\n"
    "  --workspace, -w       Project workspace to build. Tool supports only workspaces for now\n";

const std::string kModifyUsage =
    "OVERVIEW: Copies source code, looks for elements without AccesibilityIdentifier in IB files and set "
    "value. "
    "See -h for options.\n"
    "\n"
    "OPTIONS:\n"
    "  --output, -o   Path where modified Project will be copied\n"
    "  --path, -p     A path to the Project folder which will be build for Korvast (required)\n";

const std::string kError = "[\U0001F525] KorvastLoger -> ";

// Runs with HOME in a temporary folder, so that nothing is written to the real one.
ChildOutcome korvaster(const std::vector<std::string>& arguments,
                       StandardOutput output = StandardOutput::captured) {
  const TemporaryFolder home;
  return runChild(KORVASTER_BINARY, arguments, {{"HOME", home.path()}}, output);
}

TEST(CommandLineTest, NoArgumentsPrintsUsageThenTheReport) {
  const auto outcome = korvaster({});
  EXPECT_EQ(
      outcome.standardOutput,
      kTopUsage + "Whoops! An error occurred: Arguments are not provided. Call -h or --help for help.\n");
  EXPECT_EQ(logLines(outcome.standardError),
            std::vector<std::string>{
                kError +
                "The operation couldn't be completed. (KorvastCommandLineToolCore.KorvastError error 3.)"});
  EXPECT_EQ(outcome.exitStatus, 1);
}

TEST(CommandLineTest, HelpWordsPrintTheUsageOfTheParserThatMeetsThem) {
  for (const auto& arguments :
       std::vector<std::vector<std::string>>{{"-h"}, {"--help"}, {"-help", "frobnicate"}}) {
    const auto outcome = korvaster(arguments);
    EXPECT_EQ(outcome.standardOutput, kTopUsage) << arguments[0];
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_EQ(outcome.exitStatus, 0);
  }
  const auto build = korvaster({"build", "--path", "p", "-h"});
  EXPECT_EQ(build.standardOutput, kBuildUsage);
  EXPECT_EQ(build.exitStatus, 0);
  const auto modify = korvaster({"modify", "-h"});
  EXPECT_EQ(modify.standardOutput, kModifyUsage);
  EXPECT_EQ(modify.exitStatus, 0);
}

TEST(CommandLineTest, VersionPrintsOneLineAndRunsNothing) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"--version"}, {"--version=false"}, {"--version", "build", "-p", "x"}}) {
    const auto outcome = korvaster(arguments);
    EXPECT_EQ(outcome.standardOutput, "korvaster \u2014 1.0.0\n");
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_EQ(outcome.exitStatus, 0);
  }
}

TEST(CommandLineTest, OutputThatCannotBeWrittenIsAFailure) {
  for (const auto output : {StandardOutput::fullDevice, StandardOutput::closed}) {
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"--version"}, {"-h"}, {"build", "-p", "x", "-h"}}) {
      const auto outcome = korvaster(arguments, output);
      EXPECT_EQ(outcome.exitStatus, 1) << arguments[0];
      EXPECT_EQ(outcome.standardError, "");
    }
  }
}

TEST(CommandLineTest, ParseFailuresAreLoggedThenUsageThenGenericDescription) {
  struct Case {
    std::vector<std::string> arguments;
    int code;
    std::string description;
  };
  const std::vector<Case> cases{
      {{"frobnicate"}, 4, "expected arguments: build, modify"},
      {{"build", "--nope"}, 0, "unknown option --nope; use --help to list available options"},
      {{"modify", "--verbose"}, 0, "unknown option --verbose; use --help to list available options"},
      {{"build", "--version"}, 0, "unknown option --version; use --help to list available options"},
      {{"build", "-p"}, 2, "option -p requires a value; provide a value using '-p <value>' or '-p=<value>'"},
      {{"build", "-b=no"}, 1, "unknown value 'no' for argument --buildonly; use --help to print usage"},
      {{"modify", "x"}, 3, "unexpected argument x; use --help to list available arguments"},
  };
  for (const auto& c : cases) {
    const auto outcome = korvaster(c.arguments);
    EXPECT_EQ(outcome.standardOutput,
              kTopUsage + "The operation couldn't be completed. (korvaster.ArgumentParserError error " +
                  std::to_string(c.code) + ".) " + c.description + "\n")
        << c.arguments[0];
    EXPECT_EQ(logLines(outcome.standardError),
              std::vector<std::string>{kError + "ArgumentParserError" + c.description});
    EXPECT_EQ(outcome.exitStatus, 1);
  }
}

TEST(CommandLineTest, MissingProjectPathIsReportedWithThePrefix) {
  for (const auto& arguments :
       std::vector<std::vector<std::string>>{{"build"}, {"modify", "-o", "x"}, {"build", "-v"}}) {
    const auto outcome = korvaster(arguments);
    EXPECT_EQ(outcome.standardOutput, "Whoops! An error occurred: Project path is not provided.\n");
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_EQ(outcome.exitStatus, 1);
  }
}

TEST(CommandLineTest, LogLinesCarryThePlatformStylePrefix) {
  const auto outcome = korvaster({"frobnicate"});
  EXPECT_TRUE(outcome.standardError.find(" korvaster[") != std::string::npos) << outcome.standardError;
  EXPECT_EQ(outcome.standardError.back(), '\n');
}

}  // namespace
}  // namespace korvaster::testing
