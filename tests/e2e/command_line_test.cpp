// The built binary as a user meets it: which stream each text goes to, and the exit status.
// The texts themselves are pinned by the unit tests of the layers that produce them.
#include <gtest/gtest.h>

#include "e2e/child_process.h"
#include "temporary_folder.h"

namespace korvaster::testing {
namespace {

// Runs with HOME in a temporary folder, so that nothing is written to the real one.
ChildOutcome korvaster(const std::vector<std::string>& arguments,
                       StandardOutput output = StandardOutput::captured) {
  const TemporaryFolder home;
  return runChild(KORVASTER_BINARY, arguments, {{"HOME", home.path()}}, output);
}

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// The text after `prefix`, which must be exactly one line; "" when it is not.
std::string oneLineAfter(const std::string& text, const std::string& prefix) {
  if (!startsWith(text, prefix)) return "";
  const std::string rest = text.substr(prefix.size());
  return rest.find('\n') == rest.size() - 1 ? rest : "";
}

TEST(CommandLineTest, HelpPrintsTheUsageOfItsLevelToStandardOutputWithStatusZero) {
  const auto top = korvaster({"-h"});
  const auto build = korvaster({"build", "--path", "p", "--help"});
  for (const auto* outcome : {&top, &build}) {
    EXPECT_TRUE(startsWith(outcome->standardOutput, "OVERVIEW: ")) << outcome->standardOutput;
    EXPECT_EQ(outcome->standardError, "");
    EXPECT_EQ(outcome->exitStatus, 0);
  }
  EXPECT_NE(top.standardOutput.find("SUBCOMMANDS:"), std::string::npos);
  EXPECT_EQ(build.standardOutput.find("SUBCOMMANDS:"), std::string::npos);
}

TEST(CommandLineTest, ParseFailuresLogOneLineThenPrintTheUsageAndTheReport) {
  const std::string usage = korvaster({"-h"}).standardOutput;
  // A missing subcommand is reported with the tool's prefix, a bad word generically.
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{}, "Whoops! An error occurred: "},
      {{"build", "--nope"}, "The operation couldn't be completed. (korvaster.ArgumentParserError error 0.) "},
  };
  for (const auto& [arguments, report] : cases) {
    const auto outcome = korvaster(arguments);
    EXPECT_NE(oneLineAfter(outcome.standardOutput, usage + report), "") << outcome.standardOutput;
    EXPECT_EQ(logLines(outcome.standardError).size(), 1u) << outcome.standardError;
    EXPECT_NE(outcome.standardError.find(" korvaster["), std::string::npos) << outcome.standardError;
    EXPECT_EQ(outcome.exitStatus, 1);
  }
}

TEST(CommandLineTest, VersionAndAFailedRunPrintOneLineToStandardOutput) {
  const std::vector<std::tuple<std::vector<std::string>, std::string, int>> cases{
      {{"--version", "build"}, "korvaster ", 0},
      {{"modify", "-o", "x"}, "Whoops! An error occurred: ", 1},
  };
  for (const auto& [arguments, prefix, status] : cases) {
    const auto outcome = korvaster(arguments);
    EXPECT_NE(oneLineAfter(outcome.standardOutput, prefix), "") << outcome.standardOutput;
    EXPECT_EQ(outcome.standardError, "");
    EXPECT_EQ(outcome.exitStatus, status);
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

}  // namespace
}  // namespace korvaster::testing
