#include "core/filemanager/archive_cleanup.h"

#include <gtest/gtest.h>

#include "core/errors/korvast_error.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/logging/console_logger.h"
#include "scoped_environment.h"
#include "temporary_folder.h"

namespace korvaster {
namespace {

using testing::TemporaryFolder;

class ArchiveCleanupTest : public ::testing::Test {
 protected:
  ArchiveCleanupTest() {
    home_.set(temp.makeFolder("home").c_str());
    service = std::make_unique<KorvastFileManager>(logger);
  }
  std::string builds() { return temp / "home/.korvast/CommandLineTool/AppBuilds/"; }

  TemporaryFolder temp;
  testing::ScopedEnvironment home_{"HOME", nullptr};
  std::shared_ptr<RecordingLineWriter> lines = std::make_shared<RecordingLineWriter>();
  std::shared_ptr<Logger> logger =
      std::make_shared<Logger>(std::make_shared<ConsoleLogger>(LogLevel::Debug, lines));
  std::unique_ptr<KorvastFileManager> service;
};

TEST_F(ArchiveCleanupTest, RemovesArchivesInTheBuildsFolderAndOneLevelDown) {
  for (const char* folder :
       {"Top.xcarchive/Products", "App/App.xcarchive/Products", "App/Old.App.xcarchive", "App/Keep.XCARCHIVE",
        "App/Keep.xcarchive.bak", "App/deeper/Nested.xcarchive", "App/.Hidden.xcarchive"}) {
    std::filesystem::create_directories(builds() + folder);
  }
  temp.write("home/.korvast/CommandLineTool/AppBuilds/App/App.ipa", "ipa");
  temp.write("home/.korvast/CommandLineTool/AppBuilds/App/File.xcarchive", "not a folder");

  service->cleanArchives();
  for (const char* gone : {"Top.xcarchive", "App/App.xcarchive", "App/Old.App.xcarchive"}) {
    EXPECT_FALSE(std::filesystem::exists(builds() + gone)) << gone;
  }
  for (const char* kept : {"App/Keep.XCARCHIVE", "App/Keep.xcarchive.bak", "App/deeper/Nested.xcarchive",
                           "App/.Hidden.xcarchive", "App/App.ipa", "App/File.xcarchive"}) {
    EXPECT_TRUE(std::filesystem::exists(builds() + kept)) << kept;
  }
  EXPECT_EQ(lines->lines.front(), "[\U0001F4AC] KorvastLoger -> Cleaning...");
  EXPECT_EQ(lines->lines.back(), "[\U0001F4AC] KorvastLoger -> Cleaning succeeded.");
  EXPECT_NE(std::find(lines->lines.begin(), lines->lines.end(),
                      "[\U0001F4AC] KorvastLoger -> Archive Old.App.xcarchive was deleted"),
            lines->lines.end());
}

TEST_F(ArchiveCleanupTest, ArchivesOfOtherLiveRunsAndBehindLinksAreKept) {
  std::filesystem::create_directories(builds() + "Busy/Busy.xcarchive");
  std::filesystem::create_directories(builds() + "Mine/Mine.xcarchive");
  std::filesystem::create_directories(builds() + "Idle/Idle.xcarchive");
  service->prepareProjectBuildFolder("Mine.xcworkspace");
  // Another process holds the lock in the same way: flock is per open file.
  const auto other = files::FileLock::tryAcquire(builds() + "Busy/", files::FileLock::Target::folder);
  ASSERT_TRUE(other);
  // Links lead to archives the tool did not make, however they are named.
  std::filesystem::create_directories(temp / "user/Mine.xcarchive");
  std::filesystem::create_directory_symlink(temp / "user", builds() + "Linked");
  std::filesystem::create_directory_symlink(temp / "user/Mine.xcarchive", builds() + "Idle/Link.xcarchive");
  service->cleanArchives();
  EXPECT_TRUE(std::filesystem::exists(temp / "user/Mine.xcarchive"));
  EXPECT_TRUE(std::filesystem::is_symlink(builds() + "Idle/Link.xcarchive"));
  EXPECT_TRUE(std::filesystem::exists(builds() + "Busy/Busy.xcarchive"));
  EXPECT_FALSE(std::filesystem::exists(builds() + "Mine/Mine.xcarchive"));
  EXPECT_FALSE(std::filesystem::exists(builds() + "Idle/Idle.xcarchive"));
}

TEST_F(ArchiveCleanupTest, NothingToCleanSucceeds) {
  service->cleanArchives();
  EXPECT_EQ(cleanAllXCArchives(service->builds, nullptr).foundArchives, 0);
}

TEST_F(ArchiveCleanupTest, AnUndeletableArchiveFailsTheCleanupAfterTheWalkGoesOn) {
  std::filesystem::create_directories(builds() + "A/A.xcarchive");
  std::filesystem::create_directories(builds() + "B/B.xcarchive");
  temp.write("home/.korvast/CommandLineTool/AppBuilds/A/A.xcarchive/Info.plist", "x");
  // An immutable archive cannot be removed, even by root.
  const std::string locked = builds() + "A/A.xcarchive";
  if (std::system(("chattr +i '" + locked + "' 2>/dev/null").c_str()) != 0) GTEST_SKIP() << "no chattr here";
  try {
    service->cleanArchives();
    ADD_FAILURE() << "no failure";
  } catch (const KorvastError& error) {
    EXPECT_EQ(error.localizedDescription(), "Can't delete build archives in the folder " + builds());
  }
  EXPECT_EQ(std::system(("chattr -i '" + locked + "'").c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(builds() + "B/B.xcarchive"));
  EXPECT_NE(std::find(lines->lines.begin(), lines->lines.end(),
                      "[\U0001F525] KorvastLoger -> Can't delete xcarchive A.xcarchive"),
            lines->lines.end());
}

}  // namespace
}  // namespace korvaster
