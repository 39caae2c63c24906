#include "core/filemanager/archive_cleanup.h"

#include <gtest/gtest.h>

#include "core/file_manager_fixture.h"

namespace korvaster {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

using ArchiveCleanupTest = testing::FileManagerFixture;

TEST_F(ArchiveCleanupTest, RemovesOnlyRealArchivesInBuildFoldersNoOtherRunHoldsAndAFailureEndsTheWalkFailed) {
  const KorvastFileManager service(std::make_shared<Logger>(std::make_shared<ConsoleLogger>(LogLevel::Debug, lines)),
                                   system);
  for (const char* folder : {"Top.xcarchive/Products", "App/App.xcarchive/Products", "App/Old.App.xcarchive",
                             "App/Keep.XCARCHIVE", "App/Keep.xcarchive.bak", "App/deeper/Nested.xcarchive",
                             "App/.Hidden.xcarchive", "App/Stuck.xcarchive", "Busy/Busy.xcarchive", "Mine/Mine.xcarchive"}) {
    fs::create_directories(builds + folder);
  }
  temp.write("home/.korvast/CommandLineTool/AppBuilds/App/File.xcarchive", "not a folder");
  // Links lead to archives the tool did not make, however they are named.
  fs::create_directories(temp / "user/Mine.xcarchive");
  fs::create_directory_symlink(temp / "user", builds + "Linked");
  fs::create_directory_symlink(temp / "user/Mine.xcarchive", builds + "App/Link.xcarchive");
  // This run holds its own build folder; another process holds Busy (flock is per open file).
  service.prepareProjectBuildFolder("Mine.xcworkspace");
  const auto other = files::FileManager::defaultManager()->lockItem(builds + "Busy/", files::FileLock::Target::folder, false);
  ASSERT_TRUE(other);
  system->fail(Call::remove, 4, EBUSY);  // Stuck, after Top, App and Old.App

  EXPECT_EQ(failureOf([&] { service.cleanArchives(); })->errorCase(), KorvastError::Case::failedToCleanArchives);
  EXPECT_EQ(testing::entryNames(builds), (Names{"App", "Busy", "Linked", "Mine"}));
  EXPECT_EQ(testing::entryNames(builds + "App"), (Names{".Hidden.xcarchive", "File.xcarchive", "Keep.XCARCHIVE",
                                                       "Keep.xcarchive.bak", "Link.xcarchive", "Stuck.xcarchive", "deeper"}));
  EXPECT_TRUE(fs::exists(builds + "App/deeper/Nested.xcarchive"));
  EXPECT_TRUE(fs::exists(builds + "Busy/Busy.xcarchive"));
  EXPECT_TRUE(fs::is_empty(builds + "Mine"));
  EXPECT_TRUE(fs::exists(temp / "user/Mine.xcarchive"));
  const std::string debug = "[\U0001F4AC] KorvastLoger -> ";
  EXPECT_EQ(lines->lines,
            (Names{debug + "Cleaning...", debug + "Archive Top.xcarchive was deleted",
                   debug + "Archive App.xcarchive was deleted", debug + "Archive Old.App.xcarchive was deleted",
                   kError + "Can't delete xcarchive Stuck.xcarchive",
                   debug + "Archives in " + builds + "Busy/ belong to another run",
                   debug + "Archive Mine.xcarchive was deleted"}));

  lines->lines.clear();
  fs::remove_all(builds + "App/Stuck.xcarchive");
  service.cleanArchives();
  EXPECT_EQ(lines->lines, (Names{debug + "Cleaning...", debug + "Archives in " + builds + "Busy/ belong to another run",
                                 debug + "Cleaning succeeded."}));
}

}  // namespace
}  // namespace korvaster
