#include "core/errors/korvast_error.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace korvaster {
namespace {

// The message of every case, and the code its generic description names.
TEST(KorvastErrorTest, EveryCaseHasItsMessageAndCode) {
  const std::string archive = " Use --verbose parameter to print xcodebuild output.";
  const std::vector<std::tuple<KorvastError, int, std::string>> cases{
      {KorvastError::failedToBuildArchive(1), 0, "Can't build archive. Error code - 1." + archive},
      {KorvastError::failedToBuildArchive(-1), 0, "Can't build archive. Error code - -1." + archive},
      {KorvastError::failedToExportArchive(70), 1, "Can't build archive. Error code - 70." + archive},
      // Paths are inserted literally.
      {KorvastError::failedToCleanArchives("/tmp/100%d %@/"), 2,
       "Can't delete build archives in the folder /tmp/100%d %@/"},
      {KorvastError::missingArguments(), 3, "Arguments are not provided. Call -h or --help for help."},
      {KorvastError::missedExportOptionsPlistPath(), 4, "Export Options plist path is missing."},
      {KorvastError::failedToCreateFolder(), 5, "Can't create a folder at path '~/.korvast'"},
      {KorvastError::missedProjectPath(), 6, "Project path is not provided."},
      {KorvastError::failedToCopyProject(), 7, "Can't copy Project to Korvast folder: '~/.korvast'"},
      {KorvastError::failedToBuildConfig(), 8,
       "Either `scheme` or `configuration` or `workspace` or all together are not found."},
      {KorvastError::failedToReadPlistPath(), 9, "Can't read Export Options plist path."},
  };
  for (const auto& [error, code, message] : cases) {
    EXPECT_EQ(error.localizedDescription(), message);
    // The generic description never includes the message.
    EXPECT_EQ(support::genericDescription(error),
              "The operation couldn't be completed. (KorvastCommandLineToolCore.KorvastError error " +
                  std::to_string(code) + ".)");
  }
  // An error from outside the tool is named by its type.
  EXPECT_EQ(support::genericDescription(std::runtime_error("disk on fire")),
            "The operation couldn't be completed. (std::runtime_error error 1.) disk on fire");
}

}  // namespace
}  // namespace korvaster
