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
using testing::FaultInjectingFileManager;
using testing::readFile;
using testing::RecordingCommandRunner;

const std::string kView = R"(<document><view contentMode="s" id="v-1"/></document>)";

// What xcodebuild's archive call leaves: the archive folder at the path it was given.
int archiveLikeXcodebuild(const std::vector<std::string>& words) {
  const auto at = std::find(words.begin(), words.end(), "-archivePath");
  fs::create_directories(*(at + 1) + ".xcarchive/Products");
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
  Arguments buildArguments(bool keepCopy = false) {
    Arguments arguments{{ArgumentType::projectPath, temp / "App"}, {ArgumentType::exportPlist, temp / "Export.plist"}};
    if (keepCopy) arguments.emplace_back(ArgumentType::outputPath, temp.makeFolder("kept"));
    return arguments;
  }
  std::string projects() { return temp / "home/.korvast/CommandLineTool/Projects/"; }
  std::string archive() { return temp / "home/.korvast/CommandLineTool/AppBuilds/App/App.xcarchive"; }

  // Runs the build workflow and returns the case of the KorvastError it ends with.
  std::optional<KorvastError::Case> buildFails(RecordingCommandRunner& runner, bool keepCopy = false) {
    try {
      ModifyAndBuildStrategy::run(buildArguments(keepCopy), service(), runner);
    } catch (const KorvastError& error) {
      return error.errorCase();
    }
    return std::nullopt;
  }
  bool logged(const std::string& part) {
    return std::any_of(lines->lines.begin(), lines->lines.end(),
                       [&](const std::string& line) { return line.find(part) != std::string::npos; });
  }

  testing::TemporaryFolder temp;
  testing::ScopedEnvironment home{"HOME", temp.makeFolder("home").c_str()};
  std::shared_ptr<FaultInjectingFileManager> system = std::make_shared<FaultInjectingFileManager>();
  std::shared_ptr<RecordingLineWriter> lines = std::make_shared<RecordingLineWriter>();
  std::shared_ptr<Logger> logger = std::make_shared<Logger>(std::make_shared<ConsoleLogger>(LogLevel::Info, lines));
};

TEST_F(WorkflowTest, ASuccessfulBuildExportsThenRemovesTheArchiveAndOnlyACopy) {
  RecordingCommandRunner runner({archiveLikeXcodebuild});
  const auto outcome = ModifyAndBuildStrategy::run(buildArguments(), service(), runner);
  EXPECT_EQ(outcome.result, temp / "home/.korvast/CommandLineTool/AppBuilds/App/");
  EXPECT_EQ(outcome.description, "Your ipa file located at " + outcome.result);
  ASSERT_EQ(runner.calls.size(), 2u);
  EXPECT_EQ(runner.calls[0][4], projects() + "App/App.xcworkspace");  // the copy is archived
  EXPECT_FALSE(fs::exists(archive()));
  EXPECT_FALSE(fs::exists(projects() + "App"));
  EXPECT_EQ(readFile(temp / "App/Main.storyboard"), kView);

  // A copy the user asked for stays; so does the project changed in place.
  RecordingCommandRunner again({archiveLikeXcodebuild});
  EXPECT_FALSE(buildFails(again, true));
  EXPECT_NE(readFile(temp / "kept/App/Main.storyboard").find("identifier=\"v-1\""), std::string::npos);
  Arguments inPlace{{ArgumentType::projectPath, temp / "App"},
                    {ArgumentType::exportPlist, temp / "Export.plist"},
                    {ArgumentType::outputPath, temp / "App"}};
  RecordingCommandRunner third({archiveLikeXcodebuild});
  ModifyAndBuildStrategy::run(inPlace, service(), third);
  EXPECT_NE(readFile(temp / "App/Main.storyboard").find("identifier=\"v-1\""), std::string::npos);
}

TEST_F(WorkflowTest, AFailedArchiveSkipsTheExportButStillCleansUp) {
  RecordingCommandRunner runner({[](const std::vector<std::string>& words) { return archiveLikeXcodebuild(words) + 65; }});
  EXPECT_EQ(buildFails(runner), KorvastError::Case::failedToBuildArchive);
  EXPECT_EQ(runner.calls.size(), 1u);
  EXPECT_FALSE(fs::exists(archive()));
  EXPECT_FALSE(fs::exists(projects() + "App"));
  EXPECT_TRUE(logged("Failed to make archive. Error code: 65"));

  RecordingCommandRunner exportFails({archiveLikeXcodebuild, [](const auto&) { return 70; }});
  EXPECT_EQ(buildFails(exportFails), KorvastError::Case::failedToExportArchive);
  EXPECT_FALSE(fs::exists(projects() + "App"));
}

TEST_F(WorkflowTest, AFailedCleanUpWinsOverTheBuildsOwnOutcome) {
  // Removals in order: the archive, then the copy. An archive that cannot go fails the run,
  // after a successful build and after a failed one alike, and the copy is then kept.
  system->fail(Call::remove, 1, EBUSY);
  RecordingCommandRunner succeeded({archiveLikeXcodebuild});
  EXPECT_EQ(buildFails(succeeded), KorvastError::Case::failedToCleanArchives);
  EXPECT_TRUE(logged("Can't delete xcarchive App.xcarchive"));
  EXPECT_TRUE(fs::exists(projects() + "App"));

  system->fail(Call::remove, system->calls(Call::remove) + 1, EBUSY);
  RecordingCommandRunner failed({archiveLikeXcodebuild, [](const auto&) { return 70; }});
  EXPECT_EQ(buildFails(failed), KorvastError::Case::failedToCleanArchives);
}

TEST_F(WorkflowTest, ACopyThatCannotBeRemovedOrHasVanishedFailsTheRun) {
  system->fail(Call::remove, 2, EACCES);
  RecordingCommandRunner runner({archiveLikeXcodebuild});
  try {
    ModifyAndBuildStrategy::run(buildArguments(), service(), runner);
    FAIL() << "the copy could not be removed, yet the run succeeded";
  } catch (const files::OperationError& error) {
    EXPECT_EQ(error.errorCase(), files::OperationError::Case::deleteFailed);
    EXPECT_NE(support::genericDescription(error).find("Permission denied"), std::string::npos);
  }

  RecordingCommandRunner vanishing({[&](const std::vector<std::string>& words) {
    fs::remove_all(projects() + "App");
    return archiveLikeXcodebuild(words);
  }});
  EXPECT_EQ(buildFails(vanishing), KorvastError::Case::failedToCreateFolder);
}

TEST_F(WorkflowTest, AFullDiskDuringTheCopyKeepsTheEarlierCopyAndSaysWhy) {
  const Arguments modify{{ArgumentType::projectPath, temp / "App"}};
  ModifySourceCodeStrategy::run(modify, service());
  temp.write("App/New.xib", kView);
  system->fail(Call::copy, 2, ENOSPC);
  try {
    ModifySourceCodeStrategy::run(modify, service());
    FAIL() << "a failed copy was reported as done";
  } catch (const KorvastError& error) {
    EXPECT_EQ(error.errorCase(), KorvastError::Case::failedToCopyProject);
  }
  EXPECT_TRUE(logged("Copy File operation failed. Description: "));
  EXPECT_TRUE(logged("No space left on device"));
  EXPECT_FALSE(fs::exists(projects() + "App/New.xib"));
  EXPECT_NE(readFile(projects() + "App/Other.xib").find("identifier"), std::string::npos);
  EXPECT_EQ(std::distance(fs::directory_iterator(projects()), fs::directory_iterator()), 1);
}

TEST_F(WorkflowTest, AFullDiskDuringARewriteFailsThatFileOnly) {
  system->fail(Call::write, 1, ENOSPC);
  const auto outcome = ModifySourceCodeStrategy::run({{ArgumentType::projectPath, temp / "App"}}, service());
  EXPECT_EQ(outcome.result, projects() + "App/");
  EXPECT_EQ(readFile(projects() + "App/Main.storyboard"), kView);
  EXPECT_NE(readFile(projects() + "App/Other.xib").find("identifier"), std::string::npos);
  ASSERT_EQ(lines->lines.size(), 2u);
  EXPECT_NE(lines->lines[0].find("No space left on device"), std::string::npos);
  EXPECT_NE(lines->lines[0].find("(in " + projects() + "App/Main.storyboard)"), std::string::npos) << lines->lines[0];
  EXPECT_EQ(lines->lines[1], "[\U0001F525] KorvastLoger -> XIB files modifications finished with error(s).");
}

TEST_F(WorkflowTest, NothingIsCopiedWithoutAReadableConfigurationAndAnEmptyProjectOnlyWarns) {
  RecordingCommandRunner runner;
  const Arguments noExport{{ArgumentType::projectPath, temp / "App"}};
  EXPECT_THROW(ModifyAndBuildStrategy::run(noExport, service(), runner), KorvastError);
  const Arguments unreadable{{ArgumentType::projectPath, temp / "App"}, {ArgumentType::exportPlist, temp / "nope"}};
  EXPECT_THROW(ModifyAndBuildStrategy::run(unreadable, service(), runner), KorvastError);
  EXPECT_TRUE(fs::is_empty(projects()));
  EXPECT_TRUE(runner.calls.empty());

  temp.write("Plain/main.swift", "");
  const auto outcome = ModifySourceCodeStrategy::run({{ArgumentType::projectPath, temp / "Plain"}}, service());
  EXPECT_EQ(outcome.description, "Your modified project is at " + projects() + "Plain/");
  EXPECT_EQ(lines->lines, std::vector<std::string>{"[\u26A0\uFE0F] KorvastLoger -> Nor xib not storyboards were "
                                                   "found. AccessibilityIdentifiers were not changed."});
}

TEST_F(WorkflowTest, AnInterruptedBuildCleansUpAndEndsInterrupted) {
  support::installInterruptionHandlers();
  RecordingCommandRunner runner({[](const std::vector<std::string>& words) {
    archiveLikeXcodebuild(words);
    ::raise(SIGTERM);
    return 0;
  }});
  EXPECT_THROW(ModifyAndBuildStrategy::run(buildArguments(), service(), runner), support::Interrupted);
  EXPECT_EQ(runner.calls.size(), 1u);
  EXPECT_FALSE(fs::exists(archive()));
  EXPECT_FALSE(fs::exists(projects() + "App"));

  // Interrupted before the copy is in place: nothing of it is left.
  EXPECT_THROW(ModifySourceCodeStrategy::run({{ArgumentType::projectPath, temp / "App"}}, service()),
               support::Interrupted);
  EXPECT_TRUE(fs::is_empty(projects()));
}

}  // namespace
}  // namespace korvaster
