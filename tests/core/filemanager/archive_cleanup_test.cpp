#include "core/filemanager/archive_cleanup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "core/file_manager_fixture.h"
#include "golden.h"

namespace korvaster {
namespace {

using Names = std::vector<std::string>;

using ArchiveCleanupTest = testing::FileManagerFixture;
using testing::entryNames;
using testing::isThere;

TEST_F(ArchiveCleanupTest, RemovesOnlyRealArchivesInBuildFoldersNoOtherRunHoldsAndAFailureEndsTheWalkFailed) {
  const KorvastFileManager service(std::make_shared<Logger>(std::make_shared<ConsoleLogger>(LogLevel::Debug, lines)),
                                   disk);
  for (const char* folder : {"Top.xcarchive/Products", "App/App.xcarchive/Products", "App/Old.App.xcarchive",
                             "App/Keep.XCARCHIVE", "App/Keep.xcarchive.bak", "App/deeper/Nested.xcarchive",
                             "App/.Hidden.xcarchive", "App/Stuck.xcarchive", "Busy/Busy.xcarchive", "Mine/Mine.xcarchive"}) {
    std::filesystem::create_directories(builds + folder);
  }
  temp.write("home/.korvast/CommandLineTool/AppBuilds/App/File.xcarchive", "not a folder");
  // Links lead to archives the tool did not make, however they are named.
  temp.makeFolder("user/Mine.xcarchive");
  ASSERT_EQ(::symlink((temp / "user").c_str(), (builds + "Linked").c_str()), 0);
  ASSERT_EQ(::symlink((temp / "user/Mine.xcarchive").c_str(), (builds + "App/Link.xcarchive").c_str()), 0);
  // This run holds its own build folder; another run holds Busy.
  service.prepareProjectBuildFolder("Mine.xcworkspace");
  const auto other = disk->lockItem(builds + "Busy/", files::FileLock::Target::folder, false, nullptr);
  ASSERT_TRUE(other);
  disk->fail(Call::remove, 4, EBUSY);  // Stuck, after Top, App and Old.App

  const std::string busy = "could not delete " + builds + "App/Stuck.xcarchive/: Device or resource busy";
  const auto failure = failureOf([&] { service.cleanArchives(); });
  EXPECT_EQ(failure->errorCase(), KorvastError::Case::failedToCleanArchives);
  EXPECT_EQ(failure->cause(), busy);
  EXPECT_EQ(entryNames(builds), (Names{"App", "Busy", "Linked", "Mine"}));
  EXPECT_EQ(entryNames(builds + "App"), (Names{".Hidden.xcarchive", "File.xcarchive", "Keep.XCARCHIVE",
                                                       "Keep.xcarchive.bak", "Link.xcarchive", "Stuck.xcarchive", "deeper"}));
  EXPECT_TRUE(isThere(builds + "App/deeper/Nested.xcarchive"));
  EXPECT_TRUE(isThere(builds + "Busy/Busy.xcarchive"));
  EXPECT_TRUE(entryNames(builds + "Mine").empty());
  EXPECT_TRUE(isThere(temp / "user/Mine.xcarchive"));
  std::filesystem::remove(builds + "App/Stuck.xcarchive");
  service.cleanArchives();
  // The lines of both walks, against the approved text.
  std::string logged;
  for (const auto& line : lines->lines) logged += line + "\n";
  testing::expectApproved("archive-clean-up.txt", testing::replaced(logged, temp.path(), "@TEMP@"));
}

}  // namespace
}  // namespace korvaster
