// The modify and build workflows in-process, over a recording runner and a file system
// that fails on demand: which error wins, what is cleaned up, what survives.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <filesystem>

#include "core/errors/korvast_error.h"
#include "core/logging/console_logger.h"
#include "core/strategies/modify_and_build_strategy.h"
#include "core/strategies/modify_source_code_strategy.h"
#include "fakes/fault_injecting_file_manager.h"
#include "fakes/recording_command_runner.h"
#include "files/deletion_guard.h"
#include "files/file_system_errors.h"
#include "scoped_environment.h"
#include "support/interruption.h"
#include "temporary_folder.h"

namespace korvaster {
namespace {

namespace fs = std::filesystem;
using Call = testing::FaultInjectingFileManager::Call;
using testing::readFile;
using testing::RecordingCommandRunner;
using Words = std::vector<std::string>;

const std::string kView = R"(<document><view contentMode="s" id="v-1"/></document>)";
const std::string kError = "[\U0001F525] KorvastLoger -> ";

// What xcodebuild's archive call leaves: the archive folder at the path it was given.
int archiveLikeXcodebuild(const Words& words) {
  fs::create_directories(*(std::find(words.begin(), words.end(), "-archivePath") + 1) + ".xcarchive/Products");
  return 0;
}

class WorkflowTest : public ::testing::Test {
 protected:
  WorkflowTest() {
    temp.write("App/Main.storyboard", kView);
    temp.write("App/Other.xib", kView);
    temp.write("Export.plist",
               "<plist version=\"1.0\"><dict><key>korvast_scheme</key><string>S</string>"
               "<key>korvast_configuration</key><string>Release</string>"
               "<key>korvast_workspace</key><string>App.xcworkspace</string></dict></plist>");
  }
  ~WorkflowTest() override {
    support::resetInterruptionForTesting();
    files::DeletionGuard::resetForTesting();
  }

  KorvastFileManager service() { return KorvastFileManager(logger, system); }
  CommandOutcome build(RecordingCommandRunner& runner, const std::optional<std::string>& output = std::nullopt) {
    Arguments arguments{{ArgumentType::projectPath, temp / "App"}, {ArgumentType::exportPlist, temp / "Export.plist"}};
    if (output) arguments.emplace_back(ArgumentType::outputPath, *output);
    return ModifyAndBuildStrategy::run(arguments, service(), runner);
  }
  // The case of the KorvastError the build ends with.
  std::optional<KorvastError::Case> buildFails(RecordingCommandRunner& runner) {
    try {
      build(runner);
    } catch (const KorvastError& error) {
      return error.errorCase();
    }
    return std::nullopt;
  }
  CommandOutcome modify(const std::string& project = "App") {
    return ModifySourceCodeStrategy::run({{ArgumentType::projectPath, temp / project}}, service());
  }
  bool cleanedUp() { return fs::is_empty(buildFolder) && fs::is_empty(projects); }

  testing::TemporaryFolder temp;
  testing::ScopedEnvironment home{"HOME", temp.makeFolder("home").c_str()};
  std::string projects = temp / "home/.korvast/CommandLineTool/Projects/";
  std::string buildFolder = temp / "home/.korvast/CommandLineTool/AppBuilds/App/";
  std::shared_ptr<testing::FaultInjectingFileManager> system = std::make_shared<testing::FaultInjectingFileManager>();
  std::shared_ptr<RecordingLineWriter> lines = std::make_shared<RecordingLineWriter>();
  std::shared_ptr<Logger> logger = std::make_shared<Logger>(std::make_shared<ConsoleLogger>(LogLevel::Info, lines));
};

TEST_F(WorkflowTest, ABuildArchivesTheCopyExportsItThenRemovesTheArchiveAndOnlyACopyNobodyAskedFor) {
  RecordingCommandRunner runner({archiveLikeXcodebuild});
  const auto outcome = build(runner);
  EXPECT_EQ(outcome.result, buildFolder);
  EXPECT_EQ(outcome.description, "Your ipa file located at " + buildFolder);
  const std::string info = "[\u2139\uFE0F] KorvastLoger -> ";
  EXPECT_EQ(lines->lines, (Words{info + "Updated 2 of 2 Interface Builder files: 2 identifiers added, 0 kept.",
                                 info + "Archiving the project...", info + "Exporting archive..."}));
  ASSERT_EQ(runner.calls.size(), 2u);
  EXPECT_EQ(runner.calls[0][4], projects + "App/App.xcworkspace");
  EXPECT_EQ(runner.calls[0][8], buildFolder + "App");
  EXPECT_EQ(runner.calls[1][2], buildFolder + "App.xcarchive");
  EXPECT_EQ(runner.calls[1][4], buildFolder);
  EXPECT_TRUE(cleanedUp());
  EXPECT_EQ(readFile(temp / "App/Main.storyboard"), kView);

  // A copy the user asked for stays; so does the project changed in place, however the output names it.
  fs::create_directory_symlink(temp / "App", temp / "Alias");
  for (const auto& [output, kept] : {std::pair(temp.makeFolder("kept"), temp / "kept/App"),
                                     std::pair(temp / "App", temp / "App"), std::pair(temp / "Alias", temp / "App")}) {
    RecordingCommandRunner again({archiveLikeXcodebuild});
    build(again, output);
    EXPECT_NE(readFile(kept + "/Main.storyboard").find("identifier"), std::string::npos) << kept;
  }
}

TEST_F(WorkflowTest, EveryBuildCleansUpAndAnArchiveThatCannotGoFailsTheRunAndKeepsTheCopy) {
  const auto archive65 = [](const Words& words) { return archiveLikeXcodebuild(words) + 65; };
  const auto export70 = [](const Words&) { return 70; };
  const auto vanish = [&](const Words& words) {
    fs::remove_all(projects + "App");
    return archiveLikeXcodebuild(words);
  };
  const std::string undeletable = " App.xcarchive";  // the clean-up's own line, pinned with it
  const struct {
    std::vector<RecordingCommandRunner::Action> actions;
    bool archiveStays;  // its removal fails
    KorvastError::Case expected;
    std::string logged;  // the end of the last line
  } cases[] = {
      {{archive65}, false, KorvastError::Case::failedToBuildArchive, kError + "Failed to make archive. Error code: 65"},
      {{archiveLikeXcodebuild, export70}, false, KorvastError::Case::failedToExportArchive,
       kError + "Failed to build ipa file. Export from archive os failed. Error code: 70"},
      {{archiveLikeXcodebuild}, true, KorvastError::Case::failedToCleanArchives, undeletable},
      {{archiveLikeXcodebuild, export70}, true, KorvastError::Case::failedToCleanArchives, undeletable},
      {{vanish}, false, KorvastError::Case::failedToCreateFolder,
       kError + "Can't open the modified copy to remove it: The operation couldn't be completed. "
                "(korvaster.FileSystem.Item.PathError error 1.) Invalid path given: " + projects + "App/"},
  };
  for (const auto& c : cases) {
    if (c.archiveStays) system->fail(Call::remove, system->calls(Call::remove) + 1, EBUSY);
    RecordingCommandRunner runner(c.actions);
    EXPECT_EQ(buildFails(runner), c.expected) << c.logged;
    EXPECT_EQ(runner.calls.size(), c.expected == KorvastError::Case::failedToBuildArchive ? 1u : 2u);
    EXPECT_TRUE(testing::endsWith(lines->lines.back(), c.logged)) << lines->lines.back();
    EXPECT_EQ(fs::exists(buildFolder + "App.xcarchive"), c.archiveStays) << c.logged;
    EXPECT_EQ(fs::exists(projects + "App"), c.archiveStays) << c.logged;
    fs::remove_all(buildFolder + "App.xcarchive");
  }
}

TEST_F(WorkflowTest, ACopyThatCannotGoFailsTheRunWithTheFileLayersError) {
  system->fail(Call::remove, 2, EACCES);  // the archive goes first
  RecordingCommandRunner runner({archiveLikeXcodebuild});
  try {
    build(runner);
    FAIL() << "the copy could not be removed, yet the run succeeded";
  } catch (const files::OperationError& error) {
    EXPECT_EQ(error.errorCase(), files::OperationError::Case::deleteFailed);
    EXPECT_EQ(error.failure().reason, "Permission denied");
  }
}

TEST_F(WorkflowTest, ABuildFolderThatCannotBeLockedRunsNothingAndLeavesNoCopy) {
  system->fail(Call::lock, 3, ENOLCK);  // the copy's place, its staging folder, then the build folder
  RecordingCommandRunner runner({archiveLikeXcodebuild});
  EXPECT_EQ(buildFails(runner), KorvastError::Case::failedToCreateFolder);
  EXPECT_TRUE(runner.calls.empty());
  EXPECT_TRUE(testing::endsWith(lines->lines.back(), "No locks available")) << lines->lines.back();
  EXPECT_TRUE(fs::is_empty(projects));
}

TEST_F(WorkflowTest, AFullDiskDuringARewriteFailsThatFileOnlyAndNamesItWhereTheCopyEndsUp) {
  testing::ScopedEnvironment oneWorker{"KORVASTER_JOBS", "1"};  // the first write is Main.storyboard's
  system->fail(Call::write, 1, ENOSPC);
  EXPECT_EQ(modify().result, projects + "App/");
  EXPECT_EQ(readFile(projects + "App/Main.storyboard"), kView);
  EXPECT_NE(readFile(projects + "App/Other.xib").find("identifier"), std::string::npos);
  ASSERT_EQ(lines->lines.size(), 3u);
  EXPECT_TRUE(testing::endsWith(lines->lines[0], ": No space left on device (in " + projects + "App/Main.storyboard)"))
      << lines->lines[0];
  EXPECT_EQ(lines->lines[1], kError + "XIB files modifications finished with error(s).");
  EXPECT_EQ(lines->lines[2], "[\u2139\uFE0F] KorvastLoger -> Updated 1 of 2 Interface Builder files: 1 identifiers added, 0 kept.");
}

TEST_F(WorkflowTest, ExcludedFilesAreCopiedUnchangedAndLeftOutOfTheSummary) {
  for (const char* file : {"App/Pods/Lib/Lib.xib", "App/Vendor/V.xib", "App/Vendor/Deep/D.xib"}) temp.write(file, kView);
  ModifySourceCodeStrategy::run({{ArgumentType::projectPath, temp / "App"}, {ArgumentType::exclude, "Pods"},
                                 {ArgumentType::exclude, "Vendor/*.xib"}, {ArgumentType::exclude, "Other.xib"}},
                                service());
  EXPECT_EQ(lines->lines, Words{"[\u2139\uFE0F] KorvastLoger -> Updated 2 of 2 Interface Builder files: 2 identifiers "
                                "added, 0 kept."});
  for (const char* kept : {"Pods/Lib/Lib.xib", "Vendor/V.xib", "Other.xib"}) EXPECT_EQ(readFile(projects + "App/" + kept), kView);
  EXPECT_NE(readFile(projects + "App/Vendor/Deep/D.xib"), kView);
}

TEST_F(WorkflowTest, AnEmptyProjectOnlyWarns) {
  temp.makeFolder("Plain");
  EXPECT_EQ(modify("Plain").description, "Your modified project is at " + projects + "Plain/");
  EXPECT_EQ(lines->lines, Words{"[\u26A0\uFE0F] KorvastLoger -> Nor xib not storyboards were found. "
                                "AccessibilityIdentifiers were not changed."});
}

TEST_F(WorkflowTest, AnInterruptedBuildCleansUpAndEndsInterrupted) {
  support::installInterruptionHandlers();
  RecordingCommandRunner runner({[](const Words& words) {
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
  const int lastWrite = system->calls(Call::write) + 2;
  system->fail(Call::write, lastWrite, 0, [] { ::raise(SIGTERM); });
  EXPECT_THROW(modify(), support::Interrupted);
  EXPECT_EQ(system->calls(Call::write), lastWrite);
  EXPECT_TRUE(fs::is_empty(projects));
}

}  // namespace
}  // namespace korvaster
