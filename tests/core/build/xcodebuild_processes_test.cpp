#include "core/build/xcodebuild_processes.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "temporary_folder.h"

namespace korvaster {
namespace {

using Words = std::vector<std::string>;

BuildConfig configFor(const std::string& plist, bool verbose) {
  BuildConfig config({{ArgumentType::scheme, "My App"},
                      {ArgumentType::configuration, "Release"},
                      {ArgumentType::workspace, "App.xcworkspace"}},
                     plist);
  config.verbose = verbose;
  return config;
}

class XcodebuildWordsTest : public ::testing::Test {
 protected:
  testing::TemporaryFolder temp;
  std::string plist = temp.write("Export Options.plist", "<plist><dict/></plist>");
};

TEST_F(XcodebuildWordsTest, ArchiveWordsJoinTheWorkspaceToTheProjectFolder) {
  const Words expected{
      "xcodebuild",     "-scheme", "My App",       "-workspace", "/p/My Proj/App.xcworkspace",
      "-configuration", "Release", "-archivePath", "/b/App",     "clean",
      "archive",        "-quiet"};
  EXPECT_EQ(ArchiveProcess::words(configFor(plist, false), "/b/App", "/p/My Proj"), expected);
  EXPECT_EQ(ArchiveProcess::words(configFor(plist, false), "/b/App", "/p/My Proj/"), expected);
  EXPECT_EQ(ArchiveProcess::words(configFor(plist, true), "/b/App", "/p/My Proj").back(), "-verbose");
  auto absolute = configFor(plist, false);
  absolute.workspace = "/abs/App.xcworkspace";
  EXPECT_EQ(ArchiveProcess::words(absolute, "/b/App", "/p")[4], "/p//abs/App.xcworkspace");
}

TEST_F(XcodebuildWordsTest, ExportWordsAlwaysEndVerbose) {
  const Words expected{"xcodebuild",          "-archivePath", "/b/App.xcarchive",
                       "-exportPath",         "/b/",          "-exportArchive",
                       "-exportOptionsPlist", plist,          "-verbose"};
  EXPECT_EQ(ExportProcess::words(configFor(plist, false), "/b/App.xcarchive", "/b/"), expected);
  EXPECT_EQ(ExportProcess::words(configFor(plist, true), "/b/App.xcarchive", "/b/"), expected);
}

// Captures what the process writes to its own standard output while `action` runs.
std::string capturedStandardOutput(const std::function<void()>& action) {
  testing::TemporaryFolder temp;
  const std::string path = temp / "stdout";
  std::fflush(stdout);
  const int saved = ::dup(STDOUT_FILENO);
  const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ::dup2(file, STDOUT_FILENO);
  ::close(file);
  action();
  std::fflush(stdout);
  ::dup2(saved, STDOUT_FILENO);
  ::close(saved);
  return testing::readFile(path);
}

TEST(PosixCommandRunnerTest, PassesExitStatusesThrough) {
  PosixCommandRunner runner;
  EXPECT_EQ(runner.run({"sh", "-c", "exit 0"}, true), 0);
  EXPECT_EQ(runner.run({"sh", "-c", "exit 70"}, true), 70);
  EXPECT_EQ(runner.run({"sh", "-c", "kill -9 $$"}, true), 128 + 9);
  EXPECT_EQ(runner.run({"korvaster-no-such-program"}, true), 127);
}

TEST(PosixCommandRunnerTest, KeepsEachWordWhole) {
  PosixCommandRunner runner;
  EXPECT_EQ(runner.run({"sh", "-c", "[ \"$1\" = 'a b' ] && [ $# -eq 1 ]", "sh", "a b"}, true), 0);
}

TEST(PosixCommandRunnerTest, DiscardsOrShowsStandardOutput) {
  PosixCommandRunner runner;
  EXPECT_EQ(capturedStandardOutput([&] { runner.run({"sh", "-c", "echo shown"}, false); }), "shown\n");
  EXPECT_EQ(capturedStandardOutput([&] { runner.run({"sh", "-c", "echo hidden"}, true); }), "");
}

TEST(PosixCommandRunnerTest, ALargeAmountOfDiscardedOutputNeverStallsTheChild) {
  PosixCommandRunner runner;
  EXPECT_EQ(runner.run({"sh", "-c", "head -c 100000000 /dev/zero"}, true), 0);
}

}  // namespace
}  // namespace korvaster
