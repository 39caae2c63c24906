// The built binary as a user meets it: which stream each text goes to, and the exit status.
// The texts themselves are pinned by the unit tests of the layers that produce them.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "e2e/child_process.h"
#include "golden.h"

namespace korvaster::testing {
namespace {

using CommandLineTest = KorvasterTest;

int countOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST_F(CommandLineTest, UsageVersionAndReportGoToStandardOutputLogLinesToStandardErrorWithTheirStatus) {
  temp.write("App/Main.storyboard", R"(<document><view contentMode="s" id="v-1"/></document>)");
  temp.write("empty/Notes.txt", "");
  const std::string usage = korvaster({"-h"}).standardOutput, whoops = "Whoops! An error occurred: ";
  const std::string invalid = "The operation couldn't be completed. (korvaster.FileSystem.Item.PathError error 1.) Invalid path given: ";
  const struct {
    std::vector<std::string> arguments;
    std::string output;  // what standard output starts with; after it comes at most one line but in a usage
    int logLines;
    int status;
  } cases[] = {
      {{"-h"}, "OVERVIEW: korvaster able", 0, 0},
      {{"build", "--path", "p", "--help"}, "OVERVIEW: Can set", 0, 0},
      {{"--version", "build"}, "korvaster ", 0, 0},
      // A failed parse logs one line, then prints the usage and the report.
      {{}, usage + whoops, 1, 1},
      {{"build", "--nope"}, usage + "The operation couldn't be completed. (korvaster.ArgumentParserError error 0.) ", 1, 1},
      {{"chek"}, usage + "The operation couldn't be completed. (korvaster.ArgumentParserError error 4.) expected arguments: "
                 "build, check, fix, ids, modify\nDid you mean 'check'?\n", 1, 1},
      {{"modify", "-o", "x"}, whoops, 0, 1},
      // A path that names no folder, then why.
      {{"modify", "--path", temp / "nowhere"}, invalid + temp / "nowhere/\nWhy: it does not exist.\n", 0, 1},
      {{"modify", "--path", temp / "App", "-o", temp / "none"},
       invalid + temp / "none/\nWhy: the --output folder does not exist: create it first.\n", 0, 1},
      // No IB file at all: said on standard error; check still sums up, ids lists nothing.
      {{"check", "--path", temp / "empty"}, "Checked 0 Interface Builder files: 0 views, ", 1, 0},
      {{"ids", "--path", temp / "empty"}, "", 1, 0},
      // The summary of the identifier pass, then where the copy is.
      {{"modify", "--path", temp / "App"}, "", 2, 0},
  };
  for (const auto& c : cases) {
    const auto outcome = korvaster(c.arguments);
    const std::string where = c.arguments.empty() ? "(none)" : c.arguments.back();
    ASSERT_EQ(outcome.standardOutput.rfind(c.output, 0), 0u) << where << ": " << outcome.standardOutput;
    if (c.output.rfind("OVERVIEW: ", 0) != 0) {
      EXPECT_LE(countOf(outcome.standardOutput.substr(c.output.size()), "\n"), 1) << where;
    }
    EXPECT_EQ(countOf(outcome.standardError, "\n"), c.logLines) << where << ": " << outcome.standardError;
    EXPECT_EQ(countOf(outcome.standardError, " korvaster["), c.logLines) << where;
    EXPECT_EQ(outcome.exitStatus, c.status) << where;
  }
  // Output that cannot be written is a failure.
  for (const auto output : {StandardOutput::fullDevice, StandardOutput::closed}) {
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"--version"}, {"build", "-p", "x", "-h"}}) {
      const auto outcome = finishChild(start(arguments, {}, "", output));
      EXPECT_EQ(outcome.exitStatus, 1) << arguments[0];
      EXPECT_EQ(outcome.standardError, "");
    }
  }
}

TEST_F(CommandLineTest, XcodebuildsErrorsAreShownItsOutputOnlyWithVerboseAndKeptInLogsMadeAnewEachRun) {
  temp.write("home/.korvast/CommandLineTool/AppBuilds/SampleApp/Old.ipa", "an .ipa this run's export did not write");
  temp.write("home/.korvast/CommandLineTool/AppBuilds/SampleApp/xcodebuild-archive.log", std::string(500, '.'));
  for (const bool verbose : {false, true}) {
    const auto outcome = korvaster(
        {"build", "-p", temp / "SampleApp", "-e", makeSampleApp(), verbose ? "-v" : "-b", "--report", temp / "r.json"});
    EXPECT_EQ(outcome.exitStatus, 0) << outcome.standardError;
    EXPECT_EQ(outcome.standardOutput, verbose ? "fake xcodebuild: archive on standard output\n"
                                                "fake xcodebuild: export on standard output\n"
                                              : "");
    for (const std::string action : {"archive", "export"}) {
      EXPECT_EQ(countOf(outcome.standardError, "\nfake xcodebuild: " + action + " on standard error\n"), 1);
      EXPECT_EQ(readFile(builds + "SampleApp/xcodebuild-" + action + ".log"),
                "fake xcodebuild: " + action + " on standard output\nfake xcodebuild: " + action + " on standard error\n");
    }
    expectApprovedReport(verbose ? "build-report.json" : "build-only-report.json", temp / "r.json", temp.path());
  }
}

// Something else than a regular file where a log goes is named in an Error line and left as it
// is; the build goes on without that log, as without any log it cannot make.
TEST_F(CommandLineTest, ALinkPipeOrFolderWhereALogGoesIsNamedAndNeverWrittenThrough) {
  const std::string log = builds + "SampleApp/xcodebuild-archive.log";
  const std::string target = temp.write("target", "precious");
  temp.makeFolder("home/.korvast/CommandLineTool/AppBuilds/SampleApp");
  using Type = std::filesystem::file_type;
  const std::tuple<std::string, std::function<int()>, Type> cases[] = {
      {"a symbolic link", [&] { return ::symlink(target.c_str(), log.c_str()); }, Type::symlink},
      {"a named pipe", [&] { return ::mkfifo(log.c_str(), 0644); }, Type::fifo},
      {"a folder", [&] { return ::mkdir(log.c_str(), 0755); }, Type::directory},
  };
  for (const auto& [kind, make, type] : cases) {
    ASSERT_EQ(make(), 0) << kind;
    const auto outcome =
        finishChildWithin(start({"build", "-p", temp / "SampleApp", "-e", makeSampleApp(), "--report", temp / "r.json"}),
                          15000);
    if (!outcome) {
      ::close(::open(log.c_str(), O_RDONLY | O_NONBLOCK));
      ADD_FAILURE() << kind << " held the run";
    } else {
      EXPECT_EQ(outcome->exitStatus, 0) << outcome->standardOutput << outcome->standardError;
      EXPECT_EQ(countOf(outcome->standardError, "[\U0001F525] KorvastLoger -> Can't keep the output of xcodebuild in " +
                                                    log + ": it is " + kind + ", not a regular file\n"),
                1)
          << outcome->standardError;
      expectApprovedReport("unkept-log-report.json", temp / "r.json", temp.path());
    }
    EXPECT_EQ(readFile(target), "precious") << kind;
    EXPECT_TRUE(kind != "a folder" || std::filesystem::is_empty(log));
    EXPECT_EQ(std::filesystem::symlink_status(log).type(), type) << kind;
    std::filesystem::remove(log);
  }
}

// The --report document as a user finds it, its duration, which no test can know, set to 0;
// what a failed build reports is tested in-process.
TEST_F(CommandLineTest, AModifyReportsEachFileWithItsCountsOrItsError) {
  temp.write("App/A.xib", R"(<document><view contentMode="s" id="a-1"><accessibility identifier="kept"/></view>)"
                          R"(<view contentMode="s" id="a-2"/></document>)");
  temp.write("App/B.xib", "<document><view>");
  const auto outcome = korvaster({"modify", "-p", "App", "--report", "run.json"}, temp.path());
  ASSERT_EQ(outcome.exitStatus, 0) << outcome.standardError;
  expectApprovedReport("modify-report.json", temp / "run.json", temp.path());
  EXPECT_EQ(permissionsOf(temp / "run.json"), 0644u);
}

}  // namespace
}  // namespace korvaster::testing
