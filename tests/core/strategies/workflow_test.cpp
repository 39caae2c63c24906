// The modify and build workflows in-process, over a recording runner and the real disk failing
// on demand: which error wins, what is cleaned up, what survives.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "core/file_manager_fixture.h"
#include "core/strategies/modify_and_build_strategy.h"
#include "core/strategies/modify_source_code_strategy.h"
#include "fakes/recording_command_runner.h"
#include "golden.h"
#include "files/file_io_error.h"
#include "files/file_system_errors.h"

namespace korvaster {
namespace {

using testing::RecordingCommandRunner;
using Words = std::vector<std::string>;

const std::string kView = R"(<document><view contentMode="s" id="v-1"/></document>)";

class WorkflowTest : public testing::FileManagerFixture {
 protected:
  WorkflowTest() {
    temp.write("App/Main.storyboard", kView);
    temp.write("App/Other.xib", kView);
    temp.write("Export.plist", testing::readFile(KORVASTER_GOLDEN_DIR "/../export-options/App.plist"));
  }

  CommandOutcome build(RecordingCommandRunner& runner, const std::optional<std::string>& output = std::nullopt) {
    Arguments arguments{{ArgumentType::projectPath, temp / "App"}, {ArgumentType::exportPlist, temp / "Export.plist"}};
    if (output) arguments.emplace_back(ArgumentType::outputPath, *output);
    return ModifyAndBuildStrategy::run(arguments, service(), runner);
  }
  CommandOutcome modify(const std::string& project = "App") {
    return ModifySourceCodeStrategy::run({{ArgumentType::projectPath, temp / project}}, service());
  }
  bool cleanedUp() { return testing::entryNames(buildFolder).empty() && testing::entryNames(projects).empty(); }
  std::string read(const std::string& path) { return testing::readFile(path); }
  void remove(const std::string& path) { std::filesystem::remove_all(path); }
  void link(const std::string& path, const std::string& target) {
    ASSERT_EQ(::symlink(target.c_str(), path.c_str()), 0) << path;
  }

  // What xcodebuild's archive call leaves: the archive folder at the path it was given.
  const RecordingCommandRunner::Action archiveLikeXcodebuild = [this](const Words& words) {
    std::filesystem::create_directories(*(std::find(words.begin(), words.end(), "-archivePath") + 1) +
                                        ".xcarchive/Products");
    return 0;
  };

  std::string buildFolder = builds + "App/";
};

TEST_F(WorkflowTest, ABuildArchivesTheCopyExportsItThenRemovesTheArchiveAndOnlyACopyNobodyAskedFor) {
  RecordingCommandRunner runner({archiveLikeXcodebuild});
  const auto outcome = build(runner);
  EXPECT_EQ(outcome.result, buildFolder);
  EXPECT_EQ(outcome.description, "Your ipa file located at " + buildFolder);
  EXPECT_EQ(lines->lines, (Words{kInfo + "Updated 2 of 2 Interface Builder files: 2 identifiers added, 0 kept.",
                                 kInfo + "Archiving the project...", kInfo + "Exporting archive..."}));
  // The export is verbose whatever the setting; the archive only when asked. One word a line.
  std::string calls;
  for (const auto& call : runner.calls)
    for (const auto& word : call) calls += word + (&word == &call.back() ? "\n\n" : "\n");
  testing::expectApproved("build-calls.txt", testing::replaced(calls, temp.path(), "@TEMP@"));
  EXPECT_TRUE(cleanedUp());
  EXPECT_EQ(read(temp / "App/Main.storyboard"), kView);

  // A copy the user asked for stays; so does the project changed in place, however the output names it.
  link(temp / "Alias", temp / "App");
  for (const auto& [output, kept] : {std::pair<std::string, std::string>(temp.makeFolder("kept"), temp / "kept/App"),
                                     std::pair<std::string, std::string>(temp / "App", temp / "App"),
                                     std::pair<std::string, std::string>(temp / "Alias", temp / "App")}) {
    RecordingCommandRunner again({archiveLikeXcodebuild});
    build(again, output);
    EXPECT_NE(read(kept + "/Main.storyboard").find("identifier"), std::string::npos) << kept;
  }
}

// A build cleans up whichever way it ends; what cannot be removed, or locked, fails the run.
TEST_F(WorkflowTest, EveryBuildCleansUpAndWhatCannotGoOrBeLockedFailsTheRun) {
  const auto archive65 = [&](const Words& words) { return archiveLikeXcodebuild(words) + 65; };
  const auto export70 = [](const Words&) { return 70; };
  const auto vanish = [&](const Words& words) {
    remove(projects + "App");
    return archiveLikeXcodebuild(words);
  };
  using Case = KorvastError::Case;
  const struct {
    std::vector<RecordingCommandRunner::Action> actions;
    Call faulty;  // its nth next call fails with `error` (none when 0); the staging folder's mark and folder go first
    int nth, error;
    std::optional<Case> expected;  // none: the file layer's error
    std::size_t calls;
    bool archiveStays, copyStays;
  } cases[] = {
      {{archive65}, Call::remove, 0, 0, Case::failedToBuildArchive, 1, false, false},
      {{archiveLikeXcodebuild, export70}, Call::remove, 0, 0, Case::failedToExportArchive, 2, false, false},
      {{archiveLikeXcodebuild}, Call::remove, 3, EBUSY, Case::failedToCleanArchives, 2, true, true},
      {{archiveLikeXcodebuild, export70}, Call::remove, 3, EBUSY, Case::failedToCleanArchives, 2, true, true},
      {{vanish}, Call::remove, 0, 0, Case::failedToCreateFolder, 2, false, false},
      // The archive goes first, then the copy.
      {{archiveLikeXcodebuild}, Call::remove, 4, EACCES, std::nullopt, 2, false, true},
      // The copy's place, its staging folder, then the build folder.
      {{archiveLikeXcodebuild}, Call::lock, 3, ENOLCK, Case::failedToCreateFolder, 0, false, false},
  };
  // Each case's last line, the clean-up's own among them, against the approved text.
  std::string lastLines;
  for (std::size_t row = 0; row < std::size(cases); ++row) {
    const auto& c = cases[row];
    if (c.nth != 0) disk->fail(c.faulty, disk->calls(c.faulty) + c.nth, c.error);
    RecordingCommandRunner runner(c.actions);
    bool fileLayerError = false;
    try {
      const auto failure = failureOf([&] { build(runner); });
      EXPECT_EQ(failure ? std::optional<Case>(failure->errorCase()) : std::nullopt, c.expected) << row;
      // Only xcodebuild's failures name no cause: their status is in the message.
      const bool xcodebuildFailed = c.expected == Case::failedToBuildArchive || c.expected == Case::failedToExportArchive;
      EXPECT_TRUE(!failure || failure->cause().has_value() == !xcodebuildFailed) << row;
    } catch (const files::OperationError& error) {
      fileLayerError = true;
      EXPECT_EQ(error.errorCase(), files::OperationError::Case::deleteFailed);
      EXPECT_EQ(error.failure().reason, "Permission denied");
    }
    EXPECT_EQ(fileLayerError, !c.expected) << row;
    EXPECT_EQ(runner.calls.size(), c.calls) << row;
    lastLines += lines->lines.back() + "\n";
    EXPECT_EQ(testing::isThere(buildFolder + "App.xcarchive"), c.archiveStays) << row;
    EXPECT_EQ(testing::isThere(projects + "App"), c.copyStays) << row;
    remove(buildFolder + "App.xcarchive");
    remove(projects + "App");
  }
  testing::expectApproved("build-clean-up-lines.txt", testing::replaced(lastLines, temp.path(), "@TEMP@"));
}

TEST_F(WorkflowTest, AWriteTheDiskRefusesFailsTheRunKeepsTheEarlierCopyAndNamesTheFileWhereTheUserSeesIt) {
  // One worker (the fixture's): the first write is Main.storyboard's.
  modify();
  temp.write("home/.korvast/CommandLineTool/Projects/App/Earlier.txt", "the earlier, complete copy");
  lines->lines.clear();
  disk->fail(Call::write, disk->calls(Call::write) + 1, ENOSPC);
  try {
    modify();
    ADD_FAILURE() << "a copy short of its identifiers was committed";
  } catch (const files::FileIOError& error) {
    EXPECT_EQ(error.description(), "could not write " + projects + "App/Main.storyboard: No space left on device");
  }
  EXPECT_EQ(read(projects + "App/Earlier.txt"), "the earlier, complete copy");
  EXPECT_EQ(lines->lines, (Words{kError + "Can't write file, Description: No space left on device (in " + projects +
                                     "App/Main.storyboard)",
                                 kError + "XIB files modifications finished with error(s).",
                                 kInfo + "Updated 1 of 2 Interface Builder files: 1 identifier added, 0 kept."}));

  // In place, a file already rewritten stays so and the one refused stays as it was.
  lines->lines.clear();
  disk->fail(Call::write, disk->calls(Call::write) + 1, EROFS);
  const Arguments inPlace{{ArgumentType::projectPath, temp / "App"}, {ArgumentType::outputPath, temp / "App"}};
  EXPECT_THROW(ModifySourceCodeStrategy::run(inPlace, service()), files::FileIOError);
  EXPECT_EQ(read(temp / "App/Main.storyboard"), kView);
  EXPECT_NE(read(temp / "App/Other.xib").find("identifier"), std::string::npos);
  EXPECT_EQ(lines->lines.front(),
            kError + "Can't write file, Description: Read-only file system (in " + temp / "App/Main.storyboard)");
}

TEST_F(WorkflowTest, ALinkedIBFileIsChangedThroughItsTargetInsideTheProjectAndWhatLiesOutsideIsNeverWritten) {
  const std::string outside = temp.write("Shared/Outside.xib", kView);
  link(temp / "App/Relative.xib", "../Shared/Outside.xib");
  link(temp / "App/Absolute.xib", outside);
  link(temp / "App/Inner.xib", "Other.xib");
  // In a copy, a link leading out becomes a changed file of the copy's own.
  modify();
  for (const char* file : {"Relative.xib", "Absolute.xib"}) {
    EXPECT_FALSE(disk->isSymbolicLink(projects + "App/" + file)) << file;
    EXPECT_NE(read(projects + "App/" + file).find("identifier=\"v-1\""), std::string::npos) << file;
  }
  EXPECT_TRUE(disk->isSymbolicLink(projects + "App/Inner.xib"));
  EXPECT_EQ(read(outside), kView);
  // In place, it is named and left alone; the inner link is changed through its target.
  lines->lines.clear();
  ModifySourceCodeStrategy::run({{ArgumentType::projectPath, temp / "App"}, {ArgumentType::outputPath, temp / "App"}},
                                service());
  EXPECT_EQ(read(outside), kView);
  EXPECT_NE(read(temp / "App/Other.xib").find("identifier"), std::string::npos);
  EXPECT_TRUE(disk->isSymbolicLink(temp / "App/Inner.xib"));
  int named = 0;
  for (const auto& line : lines->lines)
    named += testing::endsWith(line, ".xib is a link to a file outside the project; it is left as it is.");
  EXPECT_EQ(named, 2);
  // The inner link and its target are one file, rewritten once and counted under both names.
  EXPECT_EQ(lines->lines.back(), kInfo + "Updated 2 of 3 Interface Builder files: 2 identifiers added, 1 kept.");
}

// With one file left to change, the summary is singular.
TEST_F(WorkflowTest, ExcludedFilesAreCopiedUnchangedAndLeftOutOfTheSummary) {
  for (const char* file : {"Pods/Lib/Lib.xib", "Vendor/V.xib", "Vendor/Deep/D.xib"}) temp.write("App/" + std::string(file), kView);
  std::filesystem::create_directory_symlink("Pods", temp / "App/Aside");  // no way around a glob
  ModifySourceCodeStrategy::run({{ArgumentType::projectPath, temp / "App"}, {ArgumentType::exclude, "Pods"},
                                 {ArgumentType::exclude, "Vendor/*.xib"}, {ArgumentType::exclude, "Other.xib"},
                                 {ArgumentType::exclude, "Main.storyboard"}},
                                service());
  EXPECT_EQ(lines->lines, Words{kInfo + "Updated 1 of 1 Interface Builder file: 1 identifier added, 0 kept."});
  for (const char* kept : {"Pods/Lib/Lib.xib", "Vendor/V.xib", "Other.xib", "Main.storyboard"}) {
    EXPECT_EQ(read(projects + "App/" + kept), kView);
  }
  EXPECT_NE(read(projects + "App/Vendor/Deep/D.xib"), kView);
}

TEST_F(WorkflowTest, AnEmptyProjectOnlyWarns) {
  temp.makeFolder("Plain");
  EXPECT_EQ(modify("Plain").description, "Your modified project is at " + projects + "Plain/");
  EXPECT_EQ(lines->lines, Words{"[\u26A0\uFE0F] KorvastLoger -> Nor xib not storyboards were found. "
                                "AccessibilityIdentifiers were not changed."});
}

TEST_F(WorkflowTest, AnInterruptedBuildCleansUpAndEndsInterrupted) {
  support::installInterruptionHandlers();
  RecordingCommandRunner runner({[&](const Words& words) {
    archiveLikeXcodebuild(words);
    ::raise(SIGTERM);
    return 0;
  }});
  EXPECT_THROW(build(runner), support::Interrupted);
  EXPECT_EQ(runner.calls.size(), 1u);
  EXPECT_TRUE(cleanedUp());
  // Interrupted before the copy is in place, even during its last file: nothing of it is left.
  EXPECT_THROW(modify(), support::Interrupted);
  support::resetInterruptionForTesting();
  const int lastWrite = disk->calls(Call::write) + 2;
  disk->fail(Call::write, lastWrite, 0, [] { ::raise(SIGTERM); });
  EXPECT_THROW(modify(), support::Interrupted);
  EXPECT_EQ(disk->calls(Call::write), lastWrite);
  EXPECT_TRUE(testing::entryNames(projects).empty());
}

}  // namespace
}  // namespace korvaster
