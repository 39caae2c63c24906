#include "core/filemanager/korvast_file_manager.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "bind_mount.h"
#include "core/file_manager_fixture.h"
#include "golden.h"

namespace korvaster {
namespace {

namespace fs = std::filesystem;
using testing::entryNames;
using Names = std::vector<std::string>;
using KorvastFileManagerTest = testing::FileManagerFixture;

TEST_F(KorvastFileManagerTest, CreatingTheServiceMakesTheWorkingFolderTree) {
  EXPECT_EQ(service().buildsFolder().path(), builds);
  EXPECT_EQ(service().projectsFolder().path(), projects);  // a second run reuses the tree
  EXPECT_EQ(entryNames(temp / "home/.korvast/CommandLineTool"), (Names{"AppBuilds", "Locks", "Projects"}));
  temp.write("home2/.korvast", "a file in the way");
  const testing::FixedEnvironment elsewhere{{"HOME", temp / "home2"}};
  expectFailure([&] { KorvastFileManager(logger, std::make_shared<files::PosixFileManager>(nullptr, &elsewhere)); },
                KorvastError::Case::failedToCreateFolder,
                kError + "Can't create a folder: The operation couldn't be completed. (korvaster.Folder.Error error "
                         "0.) could not create " + temp / "home2/.korvast: File exists");
}

TEST_F(KorvastFileManagerTest, ACopyLeavesVersionControlBehindKeepsFolderModesAndIsMarked) {
  for (const char* name : {"App/main.swift", "App/x.git", "App/.Git", "App/a.svn", "App/.git/HEAD",
                           "App/Sub/.gitignore", "App/Sub/.hg/x", "App/Sub/.svn/x", "App/Sub/.github/x"}) {
    temp.write(name, "");
  }
  ASSERT_EQ(::chmod((temp / "App/Sub").c_str(), 0555), 0);
  auto copy = service().copy(temp / "App", std::nullopt);
  copy.commit();
  EXPECT_EQ(copy.path(), projects + "App/");
  EXPECT_EQ(entryNames(projects + "App"), (Names{".Git", ".korvaster-copy", "Sub", "a.svn", "main.swift", "x.git"}));
  EXPECT_TRUE(fs::is_empty(projects + "App/Sub"));
  EXPECT_EQ(testing::permissionsOf(projects + "App/Sub"), 0555u);
  EXPECT_EQ(testing::readFile(projects + "App/.korvaster-copy"),
            "This folder is a copy of " + temp / "App made by korvaster, which may replace or remove it.\n");
}

TEST_F(KorvastFileManagerTest, ACopyReplacesTheEarlierCopyWholeAndOnlyOnceItIsComplete) {
  const std::string app = temp / "App";
  temp.write("App/old.swift", "");
  // In the projects folder, and under an output folder where the earlier copy carries the mark.
  for (const std::string& folder : {projects, temp.makeFolder("out")}) {
    const auto to = folder == projects ? std::nullopt : std::optional(folder);
    const auto rename = [&](const char* from, const char* into) { fs::rename(app + from, app + into); };
    service().copy(app, to).commit();
    rename("/old.swift", "/new.swift");
    service().copy(app, to);  // dropped uncommitted: nothing of it stays
    // A copy that cannot be made, or cannot be moved in, leaves the earlier one in place.
    disk->fail(Call::copyFile, disk->calls(Call::copyFile) + 1, ENOSPC);
    expectFailure([&] { service().copy(app, to); }, KorvastError::Case::failedToCopyProject,
                  // named where the copy was to be: the staging folder is gone by then
                  "could not copy " + folder + "App/new.swift: No space left on device", false);
    // A file swapped for a link as it is copied is never read through it, and is named where it was.
    disk->fail(Call::copyFile, disk->calls(Call::copyFile) + 1, 0, [&] {
      rename("/new.swift", "/x");
      fs::create_symlink("x", app + "/new.swift");
    });
    expectFailure([&] { service().copy(app, to); }, KorvastError::Case::failedToCopyProject,
                  "could not copy " + app + "/new.swift: Too many levels of symbolic links", false);
    fs::remove(app + "/new.swift");
    rename("/x", "/new.swift");
    disk->fail(Call::move, disk->calls(Call::move) + 2, EBUSY);
    expectFailure([&] { service().copy(app, to).commit(); }, KorvastError::Case::failedToCopyProject,
                  kError + "Can't move the new copy into " + folder + "App: Device or resource busy");
    EXPECT_EQ(entryNames(folder), Names{"App"});
    EXPECT_EQ(entryNames(folder + "App"), (Names{".korvaster-copy", "old.swift"}));
    service().copy(app, to).commit();
    EXPECT_EQ(entryNames(folder), Names{"App"});
    EXPECT_EQ(entryNames(folder + "App"), (Names{".korvaster-copy", "new.swift"}));
    rename("/new.swift", "/old.swift");
  }
}

TEST_F(KorvastFileManagerTest, CopiesOntoIntoOrOverTheProjectOrOverForeignFoldersAreRefused) {
  temp.write("work/App/keep.swift", "precious");
  temp.write("work/App/App/inner.swift", "");
  temp.write(".github/App/a.swift", "");
  temp.write("App/a.swift", "");
  temp.write("out/App/work.swift", "another checkout's uncommitted work");
  temp.write("links/App/work.swift", "");
  temp.write("w/home/a.swift", "");
  temp.write("home/.korvaster-copy", "");
  temp.write("home/.korvast/CommandLineTool/Projects/Earlier/a.xib", "<a/>");
  ASSERT_EQ(::symlink((temp / "work").c_str(), (temp / "alias").c_str()), 0);
  ASSERT_EQ(::symlink("/etc/hostname", (temp / "links/App/.korvaster-copy").c_str()), 0);  // a mark that is a link
  // Each refusal's line, against the approved text.
  const std::string project = temp / "work/App", inner = temp / "work/App/App";
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {project, temp / "work"}, {temp / "alias/App", temp / "work"}, {project, inner}, {inner, temp / "work"},
      {"/", temp / "out"}, {"~/.korvast/CommandLineTool/Projects", std::nullopt}, {temp / ".github/App", std::nullopt},
      {temp / "App", temp / "out"}, {temp / "App", temp / "links"}, {temp / "w/home", temp.path()}};
  std::string refusals;
  for (const auto& [from, to] : cases) {
    expectFailure([&] { service().copy(from, to); }, KorvastError::Case::failedToCopyProject, "", false);
    refusals += lines->lines.at(0) + "\n";
  }
  EXPECT_EQ(testing::readFile(project + "/keep.swift"), "precious");
  EXPECT_EQ(entryNames(project), (Names{"App", "keep.swift"}));
  EXPECT_EQ(entryNames(inner), Names{"inner.swift"});
  EXPECT_EQ(entryNames(temp / "out/App"), Names{"work.swift"});
  EXPECT_EQ(entryNames(temp / "home"), (Names{".korvast", ".korvaster-copy"}));
  EXPECT_EQ(entryNames(projects), Names{"Earlier"});
  // A folder that turns up while the copy is made is no more replaced than one that was there.
  auto late = service().copy(temp / "App", temp.makeFolder("late"));
  temp.write("late/App/work.swift", "made meanwhile");
  expectFailure([&] { late.commit(); }, KorvastError::Case::failedToCopyProject, "", false);
  refusals += lines->lines.at(0) + "\n";
  testing::expectApproved("copy-refusals.txt", testing::replaced(refusals, temp.path(), "@TEMP@"));
  EXPECT_EQ(testing::readFile(temp / "late/App/work.swift"), "made meanwhile");
}

TEST_F(KorvastFileManagerTest, AFolderReachedThroughABindMountIsTheFolderItself) {
  // A former copy the user kept working in: it carries the mark, and holds work of theirs.
  temp.write("Out/P/.korvaster-copy", "");
  temp.write("Out/P/.git/HEAD", "ref: refs/heads/main");
  temp.write("P2/a.xib", "<a/>");
  const testing::BindMount out(temp / "Out", temp.makeFolder("B"));
  const testing::BindMount project(temp / "P2", temp.makeFolder("B2"));
  if (!out.mounted() || !project.mounted()) GTEST_SKIP() << "bind mounts need root on Linux";
  expectFailure([&] { service().copy(temp / "Out/P", temp / "B"); }, KorvastError::Case::failedToCopyProject,
                kError + "Refusing to copy the project: the copy would replace the project itself at " + temp / "Out/P" +
                    ".");
  EXPECT_EQ(testing::readFile(temp / "Out/P/.git/HEAD"), "ref: refs/heads/main");
  // The project as its own output under another path is changed where it lies, not copied into itself.
  const ProjectCopy inPlace = service().copy(temp / "P2", temp / "B2");
  EXPECT_FALSE(inPlace.isCopy());
  EXPECT_EQ(entryNames(temp / "P2"), Names{"a.xib"});
}

TEST_F(KorvastFileManagerTest, EachWorkspaceHasItsOwnBuildFolder) {
  const auto files = service();
  EXPECT_EQ(files.prepareProjectBuildFolder("/p/MyApp.xcworkspace"), builds + "MyApp/");
  temp.write("home/.korvast/CommandLineTool/AppBuilds/MyApp/left.ipa", "");
  EXPECT_EQ(files.prepareProjectBuildFolder("MyApp.xcworkspace/"), builds + "MyApp/");
  EXPECT_EQ(files.prepareProjectBuildFolder("/p/My.App.xcworkspace"), builds + "My.App/");
  EXPECT_EQ(files.prepareProjectBuildFolder("Plain"), builds + "Plain/");
  // A name that would lead out of the builds folder, or name none, is no build folder.
  for (const std::string escaping : {"...xcworkspace", "..xcworkspace", "", "/"}) {
    expectFailure([&] { files.prepareProjectBuildFolder(escaping); }, KorvastError::Case::failedToCreateFolder,
                  kError + "The workspace " + escaping + " gives no name for a build folder inside " + builds + ".");
  }
  EXPECT_EQ(entryNames(builds), (Names{"My.App", "MyApp", "Plain"}));
  EXPECT_EQ(entryNames(builds + "MyApp"), Names{"left.ipa"});
}

// Lets another thread see that a line was logged.
struct SignallingLineWriter final : LineWriter {
  void writeLine(const std::string& text) override { line = text, written = true; }
  std::string line;
  std::atomic<bool> written{false};
};

// Into the projects folder, in place (locked through the project itself, so that runs with
// another home folder take turns too), and a build.
TEST_F(KorvastFileManagerTest, ARunWaitsWhileAnotherWorksOnTheSameCopyProjectOrBuildFolder) {
  temp.write("App/a.swift", "");
  const std::string info = kInfo + "Another korvaster run is ";
  for (const int kind : {0, 1, 2}) {
    const bool build = kind == 2;
    const auto to = kind == 1 ? std::optional(temp / "App") : std::nullopt;
    auto signal = std::make_shared<SignallingLineWriter>();
    std::optional<KorvastFileManager> first(service());
    std::optional<ProjectCopy> held;
    if (build) first->prepareProjectBuildFolder("App.xcworkspace");
    else held.emplace(first->copy(temp / "App", to));
    std::thread second([&] {
      const KorvastFileManager other(std::make_shared<Logger>(std::make_shared<ConsoleLogger>(LogLevel::Info, signal)), disk);
      if (build) other.prepareProjectBuildFolder("App.xcworkspace");
      else other.copy(temp / "App", to).commit();
    });
    for (int wait = 0; wait < 300 && !signal->written; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(signal->written) << kind << ": the second run did not wait";
    if (held) held->commit();
    held.reset();
    first.reset();
    second.join();
    EXPECT_EQ(signal->line, info + (build ? "building in " + builds + "App/"
                                          : "working on " + (to ? temp / "App/" : projects + "App/")) +
                                "; waiting for it to finish.");
  }
  EXPECT_EQ(entryNames(projects), Names{"App"});
}

}  // namespace
}  // namespace korvaster
