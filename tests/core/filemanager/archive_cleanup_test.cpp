#include "core/filemanager/archive_cleanup.h"

#include <gtest/gtest.h>

#include "core/errors/korvast_error.h"
#include "core/filemanager/korvast_file_manager.h"
#include "core/logging/console_logger.h"
#include "scoped_environment.h"
#include "temporary_folder.h"

namespace korvaster {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const std::string kDebug = "[\U0001F4AC] KorvastLoger -> ";

class ArchiveCleanupTest : public ::testing::Test {
 protected:
  void make(std::initializer_list<const char*> folders) {
    for (const char* folder : folders) fs::create_directories(builds + folder);
  }

  testing::TemporaryFolder temp;
  testing::ScopedEnvironment home{"HOME", temp.makeFolder("home").c_str()};
  std::shared_ptr<RecordingLineWriter> lines = std::make_shared<RecordingLineWriter>();
  KorvastFileManager service{std::make_shared<Logger>(std::make_shared<ConsoleLogger>(LogLevel::Debug, lines))};
  std::string builds = service.builds.path();
};

TEST_F(ArchiveCleanupTest, RemovesOnlyRealArchivesInTheBuildsFolderAndInBuildFoldersNoOtherRunHolds) {
  make({"Top.xcarchive/Products", "App/App.xcarchive/Products", "App/Old.App.xcarchive", "App/Keep.XCARCHIVE",
        "App/Keep.xcarchive.bak", "App/deeper/Nested.xcarchive", "App/.Hidden.xcarchive", "Busy/Busy.xcarchive",
        "Mine/Mine.xcarchive"});
  temp.write("home/.korvast/CommandLineTool/AppBuilds/App/File.xcarchive", "not a folder");
  // Links lead to archives the tool did not make, however they are named.
  fs::create_directories(temp / "user/Mine.xcarchive");
  fs::create_directory_symlink(temp / "user", builds + "Linked");
  fs::create_directory_symlink(temp / "user/Mine.xcarchive", builds + "App/Link.xcarchive");
  // This run holds its own build folder; another process holds Busy (flock is per open file).
  service.prepareProjectBuildFolder("Mine.xcworkspace");
  const auto other = files::FileLock::tryAcquire(builds + "Busy/", files::FileLock::Target::folder);
  ASSERT_TRUE(other);

  service.cleanArchives();
  EXPECT_EQ(testing::entryNames(builds), (Names{"App", "Busy", "Linked", "Mine"}));
  EXPECT_EQ(testing::entryNames(builds + "App"), (Names{".Hidden.xcarchive", "File.xcarchive", "Keep.XCARCHIVE",
                                                       "Keep.xcarchive.bak", "Link.xcarchive", "deeper"}));
  EXPECT_TRUE(fs::exists(builds + "App/deeper/Nested.xcarchive"));
  EXPECT_TRUE(fs::exists(builds + "Busy/Busy.xcarchive"));
  EXPECT_TRUE(fs::is_empty(builds + "Mine"));
  EXPECT_TRUE(fs::exists(temp / "user/Mine.xcarchive"));
  EXPECT_EQ(lines->lines,
            (Names{kDebug + "Cleaning...", kDebug + "Archive Top.xcarchive was deleted",
                   kDebug + "Archive App.xcarchive was deleted", kDebug + "Archive Old.App.xcarchive was deleted",
                   kDebug + "Archives in " + builds + "Busy/ belong to another run",
                   kDebug + "Archive Mine.xcarchive was deleted", kDebug + "Cleaning succeeded."}));
}

TEST_F(ArchiveCleanupTest, AnUndeletableArchiveFailsTheCleanUpAfterTheWalkGoesOn) {
  make({"A/A.xcarchive", "B/B.xcarchive"});
  temp.write("home/.korvast/CommandLineTool/AppBuilds/A/A.xcarchive/Info.plist", "x");
  if (!temp.makeImmutable(builds + "A/A.xcarchive")) GTEST_SKIP() << "no immutable flag here";
  try {
    service.cleanArchives();
    ADD_FAILURE() << "no failure";
  } catch (const KorvastError& error) {
    EXPECT_EQ(error.localizedDescription(), "Can't delete build archives in the folder " + builds);
  }
  EXPECT_FALSE(fs::exists(builds + "B/B.xcarchive"));
  EXPECT_EQ(std::count(lines->lines.begin(), lines->lines.end(),
                       "[\U0001F525] KorvastLoger -> Can't delete xcarchive A.xcarchive"),
            1);
}

}  // namespace
}  // namespace korvaster
