#include <gtest/gtest.h>

#include "argparse/help_requested.h"
#include "core/commands/korvast_argument_parser.h"
#include "core/commands/korvast_command_line_tool.h"
#include "core/errors/korvast_error.h"
#include "core/logging/console_logger.h"
#include "fakes/recording_command_runner.h"
#include "files/file_manager_posix.h"
#include "fixed_environment.h"
#include "golden.h"
#include "temporary_folder.h"

namespace korvaster {
namespace {

// Parses `words` (program path first) the way the tool does, with log lines recorded.
class CommandParsingTest : public ::testing::Test {
 protected:
  std::pair<std::shared_ptr<RegisterableCommand>, Arguments> parse(std::vector<std::string> words) {
    words.insert(words.begin(), "/usr/local/bin/korvaster");
    KorvastArgumentParser parser(logger);
    return parser.parse(words);
  }

  std::shared_ptr<RecordingLineWriter> lines = std::make_shared<RecordingLineWriter>();
  std::shared_ptr<Logger> logger =
      std::make_shared<Logger>(std::make_shared<ConsoleLogger>(LogLevel::Info, lines));
};

TEST_F(CommandParsingTest, TheChosenCommandGetsItsGivenOptionsInTableOrder) {
  using T = ArgumentType;
  struct Case {
    std::vector<std::string> words;
    std::string command;  // empty: none
    Arguments expected;
  };
  const std::vector<Case> cases{
      {{"modify", "-o", "out", "--path", "proj"}, "modify", {{T::projectPath, "proj"}, {T::outputPath, "out"}}},
      {{"build", "-v", "--buildonly=false", "-w", "W", "-s", "S", "-c", "C", "-e", "e", "-o", "o", "-p", "p"}, "build",
       {{T::projectPath, "p"}, {T::outputPath, "o"}, {T::exportPlist, "e"}, {T::configuration, "C"}, {T::scheme, "S"},
        {T::workspace, "W"}, {T::build, ""}, {T::verbose, ""}}},
      {{"build"}, "build", {}},
      {{"--version=false", "build", "-p", "x"}, "", {{T::version, ""}}},
  };
  for (const auto& c : cases) {
    const auto [command, arguments] = parse(c.words);
    EXPECT_EQ(command ? command->name() : "", c.command) << c.words[0];
    EXPECT_EQ(arguments, c.expected) << c.words[0];
  }
}

// The usage texts of the levels, as a help word or a failed parse shows them. In fix's,
// --dry-run, the longest name without a short one, leaves the column where --path, -p sets it.
TEST_F(CommandParsingTest, HelpPassesThroughUnloggedWithTheUsageOfItsLevel) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
      {{"-h"}, "top"},          {{"--help", "frobnicate"}, "top"}, {{"build", "--path", "p", "--help"}, "build"},
      {{"modify", "-help"}, "modify"}, {{"check", "-h"}, "check"}, {{"fix", "-h"}, "fix"}, {{"ids", "-h"}, "ids"}};
  for (const auto& [words, level] : cases) {
    try {
      parse(words);
      ADD_FAILURE() << "no help for " << words[0];
    } catch (const argparse::HelpRequested& help) {
      testing::expectApproved("help." + level, help.usage());
    }
  }
  EXPECT_TRUE(lines->lines.empty());
}

// Each failure's line, against the approved text.
TEST_F(CommandParsingTest, FailuresAreLoggedAndThrownOn) {
  EXPECT_THROW(parse({"build", "--nope"}), argparse::ArgumentParserError);
  EXPECT_THROW(parse({}), KorvastError);
  EXPECT_THROW(parse({"check", "-p", "x", "--format", "xml"}), argparse::ArgumentParserError);
  EXPECT_THROW(parse({"ids", "-p", "x", "--format=sarif"}), argparse::ArgumentParserError);
  std::string logged;
  for (const auto& line : lines->lines) logged += line + "\n";
  testing::expectApproved("parse-failures.txt", logged);
}

// The whole tool in-process: everything it writes, reads or starts goes through the platform.
TEST(ToolObjectTest, RunsThroughThePlatformItIsGiven) {
  const testing::TemporaryFolder temp;
  const std::string app = temp / "App", plist = temp / "Export.plist", home = temp / "home";
  temp.write("App/v.xib", R"(<document><view contentMode="s" id="v-1"/></document>)");
  temp.write("Export.plist", testing::readFile(KORVASTER_GOLDEN_DIR "/../export-options/App.plist"));
  const testing::FixedEnvironment environment{{"HOME", temp.makeFolder("home")}, {"KORVASTER_JOBS", "2"}};
  const std::string logged = "home/.korvast/CommandLineTool/AppBuilds/App/xcodebuild-archive.log", log = temp / logged;
  const auto fails = [](const auto&) { return 65; };
  // As xcodebuild's output would, the failed archive leaves its log.
  testing::RecordingCommandRunner runner({fails, [&](const auto&) { return temp.write(logged, "x"), 65; }});
  auto lines = std::make_shared<RecordingLineWriter>();
  Platform platform;
  platform.environment = &environment;
  platform.files = std::make_shared<files::PosixFileManager>(nullptr, &environment);
  platform.runner = &runner;
  platform.logLines = lines;
  support::StringOutputStream report;
  platform.output = &report;

  // A run that fails before it has a project makes no working folder; without a readable export
  // list it copies nothing.
  const std::pair<std::vector<std::string>, KorvastError> failures[] = {
      {{"korvaster", "build", "-b"}, KorvastError::missedProjectPath()},
      {{"korvaster", "build", "-b", "-p", app}, KorvastError::missedExportOptionsPlistPath()},
      {{"korvaster", "build", "-p", app, "-e", temp / "nope", "--report", temp / "nope.json"},
       KorvastError::failedToReadPlistPath()},
  };
  std::string printed;
  const auto whoops = [&](const KorvastError& error) { return printed += "Whoops! An error occurred: " + error.localizedDescription() + "\n"; };
  for (const auto& [words, error] : failures) {
    EXPECT_EQ(runKorvaster(words, platform), 1);
    EXPECT_EQ(report.text(), whoops(error));
    EXPECT_TRUE(words.size() > 3 || testing::entryNames(home).empty());
  }
  EXPECT_TRUE(testing::entryNames(home + "/.korvast/CommandLineTool/Projects").empty());
  const std::string unread = "could not read " + temp / "nope: No such file or directory";
  EXPECT_EQ(lines->lines, std::vector<std::string>{"[\U0001F525] KorvastLoger -> Can't read Export Options plist path. Description: " + unread});
  EXPECT_NE(testing::readFile(temp / "nope.json").find("\"errorCause\": \"" + unread + "\""), std::string::npos);

  // Build-only archives the project where it lies, verbosely when asked; a build archives the copy,
  // removes it, names the kept log and reports the failure.
  for (const char* mode : {"-b", "-v"}) {
    EXPECT_EQ(runKorvaster({"korvaster", "build", mode, "-p", app, "-e", plist, "--report", temp / "run.json"}, platform), 1);
  }
  whoops(KorvastError::failedToBuildArchive(65));
  EXPECT_EQ(report.text(), whoops(KorvastError::failedToBuildArchive(65)));
  ASSERT_EQ(runner.calls.size(), 2u);
  EXPECT_EQ(runner.calls[0][4], app + "/App.xcworkspace");
  EXPECT_EQ(runner.calls[1].back(), "-verbose");
  EXPECT_EQ(lines->lines.back(), "[\U0001F525] KorvastLoger -> The output of xcodebuild is in " + log);
  testing::expectApprovedReport("failed-build-report.json", temp / "run.json", temp.path());
}

}  // namespace
}  // namespace korvaster
