#include "core/build/xcodebuild_processes.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "temporary_folder.h"

namespace korvaster {
namespace {

using Words = std::vector<std::string>;

BuildConfig config(bool verbose, const std::string& workspace = "App.xcworkspace") {
  BuildConfig built({{ArgumentType::scheme, "My App"}, {ArgumentType::configuration, "Release"},
                     {ArgumentType::workspace, workspace}},
                    KORVASTER_TEST_FIXTURES "/ExportOptions.binary.plist", *files::FileManager::defaultManager());
  built.verbose = verbose;
  return built;
}

TEST(XcodebuildWordsTest, ArchiveWordsJoinTheWorkspaceToTheProjectFolder) {
  const Words expected{"xcodebuild", "-scheme",      "My App", "-workspace", "/p/My Proj/App.xcworkspace",
                       "-configuration", "Release", "-archivePath", "/b/App", "clean", "archive", "-quiet"};
  EXPECT_EQ(ArchiveProcess::words(config(false), "/b/App", "/p/My Proj"), expected);
  EXPECT_EQ(ArchiveProcess::words(config(false), "/b/App", "/p/My Proj/"), expected);
  EXPECT_EQ(ArchiveProcess::words(config(true), "/b/App", "/p/My Proj").back(), "-verbose");
  EXPECT_EQ(ArchiveProcess::words(config(false, "/abs/App.xcworkspace"), "/b/App", "/p")[4], "/p//abs/App.xcworkspace");
}

TEST(XcodebuildWordsTest, ExportWordsAlwaysEndVerbose) {
  const Words expected{"xcodebuild", "-archivePath", "/b/App.xcarchive", "-exportPath", "/b/", "-exportArchive",
                       "-exportOptionsPlist", KORVASTER_TEST_FIXTURES "/ExportOptions.binary.plist", "-verbose"};
  EXPECT_EQ(ExportProcess::words(config(false), "/b/App.xcarchive", "/b/"), expected);
  EXPECT_EQ(ExportProcess::words(config(true), "/b/App.xcarchive", "/b/"), expected);
}

TEST(PosixCommandRunnerTest, PassesExitStatusesThroughAndKeepsEachWordWhole) {
  const std::pair<Words, int> cases[] = {
      {{"sh", "-c", "exit 0"}, 0},
      {{"sh", "-c", "exit 70"}, 70},
      {{"sh", "-c", "kill -9 $$"}, 128 + 9},
      {{"korvaster-no-such-program"}, 127},
      {{"sh", "-c", "[ \"$1\" = 'a b' ] && [ $# -eq 1 ]", "sh", "a b"}, 0},
      {{"sh", "-c", "head -c 100000000 /dev/zero"}, 0},  // much discarded output never stalls the child
  };
  PosixCommandRunner runner;
  for (const auto& [words, status] : cases) EXPECT_EQ(runner.run(words, true), status) << words.back();
}

// A child quiet for longer than the runner waits between looks, then writing more than a pipe
// holds, is read until it has gone; taken for gone at its first quiet moment, it was left
// blocked on a full pipe, and the runner waited for it forever.
TEST(PosixCommandRunnerTest, AChildQuietAtFirstIsReadUntilItHasGone) {
  testing::TemporaryFolder temp;
  const std::string pidFile = temp / "pid";
  const std::string log = temp / "out.log";
  PosixCommandRunner runner;
  auto status = std::async(std::launch::async, [&] {
    return runner.run({"sh", "-c", "echo $$ > \"$0\"; sleep 0.6; exec head -c 200000 /dev/zero", pidFile}, true, log);
  });
  if (status.wait_for(std::chrono::seconds(15)) != std::future_status::ready) {
    ::kill(-std::stoi(testing::readFile(pidFile)), SIGKILL);
    status.wait();
    FAIL() << "the runner still waited for its child 15 s later";
  }
  EXPECT_EQ(status.get(), 0);
  EXPECT_EQ(std::filesystem::file_size(log), 200000u);
}

// A kept log is written only as a regular file of its own: what is there instead is left as
// it is, nothing is written through it, and the child runs all the same.
TEST(PosixCommandRunnerTest, AKeptLogIsNeverWrittenThroughALinkPipeOrFolder) {
  testing::TemporaryFolder temp;
  const std::string target = temp.write("target", "precious");
  const std::string link = temp / "link.log", fifo = temp / "fifo.log", folder = temp.makeFolder("folder.log");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  PosixCommandRunner runner;
  for (const auto& [log, kind] : {std::pair(link, mode_t{S_IFLNK}), std::pair(fifo, mode_t{S_IFIFO}), std::pair(folder, mode_t{S_IFDIR})}) {
    auto status = std::async(std::launch::async, [&] { return runner.run({"sh", "-c", "echo said; exit 3"}, true, log); });
    if (status.wait_for(std::chrono::seconds(15)) != std::future_status::ready) {
      ::close(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK));  // lets a writer stuck on the pipe go
      ADD_FAILURE() << log << " held the run";
    }
    EXPECT_EQ(status.get(), 3) << log;
    EXPECT_EQ(testing::readFile(target), "precious") << log;
    struct stat there {};
    EXPECT_TRUE(::lstat(log.c_str(), &there) == 0 && (there.st_mode & S_IFMT) == kind) << log;
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder));
  // A regular file there is made anew.
  const std::string kept = temp.write("kept.log", "an earlier run's longer output");
  EXPECT_EQ(runner.run({"sh", "-c", "echo said"}, true, kept), 0);
  EXPECT_EQ(testing::readFile(kept), "said\n");
}

}  // namespace
}  // namespace korvaster
