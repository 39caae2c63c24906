// `korvaster fix` on a small project: the dry run's patch, applied with patch -p1, gives
// exactly the bytes fix writes, and a second run changes nothing.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "e2e/child_process.h"
#include "golden.h"

namespace korvaster::testing {
namespace {

using FixCommandTest = KorvasterTest;

// Every regular file below `folder`, by relative path, with its bytes.
std::map<std::string, std::string> contentsBelow(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files[std::filesystem::relative(entry.path(), folder).string()] = readFile(entry.path());
  }
  return files;
}

TEST_F(FixCommandTest, TheDryRunsPatchGivesWhatFixWritesAndASecondRunChangesNothing) {
  namespace fs = std::filesystem;
  temp.makeFolder("App/ib");
  fs::copy(KORVASTER_SAMPLE_IB, temp / "App/ib", fs::copy_options::recursive);
  fs::remove(temp / "App/ib/NOTICE.md");
  // CRLF, a BOM, tabs, no final newline (tests/data/e2e), and a name with a space.
  temp.write("App/With Space/Main.storyboard", readFile(KORVASTER_GOLDEN_DIR "/../e2e/fix-Main.storyboard"));
  temp.write("App/Pods/Lib.xib", "<document>\n    <view contentMode=\"a\" id=\"p-1\"/>\n</document>\n");
  // A second name of a file in the project: the patch changes the file once, not through the link.
  fs::create_symlink("With Space/Main.storyboard", temp / "App/Linked.storyboard");
  const auto before = contentsBelow(temp / "App");
  fs::copy(temp / "App", temp / "Patched", fs::copy_options::recursive | fs::copy_options::copy_symlinks);

  // The sample holds a file committed with merge-conflict markers, which every run leaves as
  // it was, and so ends with status 1.
  const auto dryRun = korvaster({"fix", "--path", temp / "App", "--exclude", "Pods/**", "--dry-run"});
  EXPECT_EQ(dryRun.exitStatus, 1) << dryRun.standardError;
  EXPECT_EQ(contentsBelow(temp / "App"), before);
  temp.write("fix.patch", dryRun.standardOutput);
  const std::string patch = "patch -s -p1 -d '" + temp / "Patched" + "' -i '" + temp / "fix.patch" + "'";
  ASSERT_EQ(std::system(patch.c_str()), 0);

  const auto fix = korvaster({"fix", "--path", temp / "App", "--exclude", "Pods/**"});
  EXPECT_EQ(fix.exitStatus, 1) << fix.standardError;
  EXPECT_NE(fix.standardError.find("] KorvastLoger -> Updated "), std::string::npos) << fix.standardError;
  const auto fixed = contentsBelow(temp / "App");
  EXPECT_EQ(fixed, contentsBelow(temp / "Patched"));
  EXPECT_NE(fixed, before);
  EXPECT_EQ(fixed.at("Pods/Lib.xib"), before.at("Pods/Lib.xib"));
  EXPECT_TRUE(fs::is_symlink(temp / "App/Linked.storyboard"));
  expectApproved("fix-Main.storyboard", fixed.at("With Space/Main.storyboard"));

  const auto again = korvaster({"fix", "--path", temp / "App", "--exclude", "Pods/**", "--dry-run"});
  EXPECT_EQ(again.exitStatus, 1);
  EXPECT_EQ(again.standardOutput, "");
  EXPECT_NE(again.standardError.find(": 0 identifiers added, "), std::string::npos) << again.standardError;
}

// SIGTERM once a large one-line file has been read, while it is parsed and changed: the run
// ends as interrupted and the file stays as it was.
TEST_F(FixCommandTest, ASignalWhileALargeFileIsWorkedOnLeavesItAsItWas) {
  std::string views = "<document><objects>";
  for (int view = 0; view < 200000; ++view)
    views +=
        "<view contentMode=\"a\" id=\"v-" + std::to_string(view) + "\"><rect key=\"frame\" x=\"0\"/></view>";
  temp.write("Big/Main.xib", views += "</objects></document>");
  const RunningChild child = start({"fix", "--path", temp / "Big"});
  const std::string io = "/proc/" + std::to_string(child.processId) + "/io";
  for (long long read = 0, polls = 0; read < static_cast<long long>(views.size()) && polls < 20000; ++polls) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::ifstream counters(io);
    for (std::string name; counters >> name >> read && name != "rchar:";) {
    }
  }
  ::kill(child.processId, SIGTERM);
  const ChildOutcome outcome = finishChild(child);
  EXPECT_EQ(outcome.exitStatus, 128 + SIGTERM) << outcome.standardError;
  EXPECT_TRUE(readFile(temp / "Big/Main.xib") == views) << "the file was changed after the signal";
}

}  // namespace
}  // namespace korvaster::testing
